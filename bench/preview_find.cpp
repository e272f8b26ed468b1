// Finding a word that only the last page of a 5000-page report holds, from
// page 1, in the steps the find bar takes. The report repeats the pages of
// the corpus's ok-plain-20p.qrp (generated pages without the corpus); the
// last page is recorded with the word.

#include <benchmark/benchmark.h>

#include <QString>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "platform/gdi/emf_recorder.h"
#include "preview/find_text.h"
#include "report/qr_page_list.h"
#include "report/qr_printer.h"
#include "report/qr_stream.h"

namespace {

namespace fs = std::filesystem;
using namespace pravel;

constexpr int kPages = 5000;
constexpr std::int32_t kPagesPerStep = 25;  // as the find bar

gdi::Metafile PageWithText(std::string_view text) {
  gdi::EmfRecorder canvas(794, 1123);
  const std::u16string wide = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdU16String();
  const std::vector<std::int32_t> dx(wide.size(), 8);
  canvas.ExtTextOut({40, 1000}, std::u16string_view(wide), dx);
  return canvas.Finish();
}

fs::path WriteReport(const fs::path& folder) {
  std::vector<gdi::Metafile> pages;
  const fs::path corpus = fs::path(PRAVEL_SOURCE_DIR) / ".." / "shared" / "corpus" / "qrp" / "ok-plain-20p.qrp";
  std::error_code error;
  if (fs::exists(corpus, error)) {
    TQRPrinter source;
    source.Load(corpus.string());
    for (int n = 1; n <= source.PageCount(); ++n) {
      if (auto page = source.GetPage(n)) pages.push_back(*page);
    }
  }
  if (pages.empty()) {
    for (int n = 0; n < 20; ++n) pages.push_back(PageWithText("Pozycja faktury " + std::to_string(n)));
  }
  TQRPageList list;
  list.SetStream(std::make_shared<TQRStream>(kProductionSpillLimit));
  for (int n = 0; n < kPages - 1; ++n) list.AddPage(pages[static_cast<std::size_t>(n) % pages.size()]);
  list.AddPage(PageWithText("Zamknięcie roku Kwxyzq"));
  list.Finish();
  const fs::path path = folder / "find-5000.qrp";
  list.SaveFile(path.string());
  return path;
}

void FindOnLastPage(benchmark::State& state) {
  const fs::path folder = fs::temp_directory_path() / "pravel-bench-find";
  fs::create_directories(folder);
  TQRPrinter printer;
  printer.Load(WriteReport(folder).string());
  for (auto _ : state) {
    TextSearch search = BeginSearch({.text = "kwxyzq"}, true, 1, -1, printer.PageCount());
    SearchStep step;
    do step = StepSearch(search, printer, kPagesPerStep);
    while (step.status == SearchStep::Status::Running);
    if (step.status != SearchStep::Status::Found || step.page != kPages)
      state.SkipWithError("not found on the last page");
  }
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

BENCHMARK(FindOnLastPage)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
