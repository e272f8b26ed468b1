// Export of a long report: one unpaged HTML page of many rows (the grid's
// numbering and cell lookup) and the same texts as paged CSV and plain text.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "export/ascii_filter.h"
#include "export/csv_filter.h"
#include "export/html_filter.h"

namespace {

using pravel::TextAlignment;

constexpr int kRowsPerPage = 60;
constexpr int kColumns = 6;

// `pages` pages of a table, each row six texts; unpaged filters get them as
// one page, the rows continuing downwards.
void Feed(pravel::TQRExportFilter& filter, int pages) {
  pravel::Font font;
  font.Color = pravel::kColorBlack;
  filter.Start(2100, 2970, font);
  filter.EndPage();
  const bool unpaged = filter.Unpaged();
  if (unpaged) filter.NewPage();
  for (int page = 0; page < pages; ++page) {
    if (!unpaged) filter.NewPage();
    for (int row = 0; row < kRowsPerPage; ++row) {
      const long double y = 100.0L + row * 45.0L + (unpaged ? page * 2970.0L : 0);
      for (int column = 0; column < kColumns; ++column) {
        filter.TextOut(150.0L + column * 300.0L, y, font, pravel::kColorWhite, TextAlignment::LeftJustify,
                       "Item " + std::to_string(row * 10 + column));
      }
    }
    if (!unpaged) filter.EndPage();
  }
  if (unpaged) filter.EndPage();
  filter.Finish();
}

std::string ScratchPath(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

void BM_HtmlUnpagedInMemory(benchmark::State& state) {
  for (auto _ : state) {
    pravel::TQRHTMLDocumentFilter filter("");
    Feed(filter, static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(filter.Stream()->Data().size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0) * kRowsPerPage * kColumns);
}
BENCHMARK(BM_HtmlUnpagedInMemory)->Arg(10)->Arg(100);

void BM_CsvToFile(benchmark::State& state) {
  const std::string path = ScratchPath("pravel-bench.csv");
  for (auto _ : state) {
    pravel::TQRCommaSeparatedFilter filter(path);
    Feed(filter, static_cast<int>(state.range(0)));
  }
  std::filesystem::remove(path);
  state.SetItemsProcessed(state.iterations() * state.range(0) * kRowsPerPage * kColumns);
}
BENCHMARK(BM_CsvToFile)->Arg(100);

void BM_PlainTextToFile(benchmark::State& state) {
  const std::string path = ScratchPath("pravel-bench.txt");
  for (auto _ : state) {
    pravel::TQRAsciiExportFilter filter(path);
    Feed(filter, static_cast<int>(state.range(0)));
  }
  std::filesystem::remove(path);
  state.SetItemsProcessed(state.iterations() * state.range(0) * kRowsPerPage * kColumns);
}
BENCHMARK(BM_PlainTextToFile)->Arg(100);

}  // namespace

BENCHMARK_MAIN();
