// Export of a loaded report: every page played into the text collector and
// handed to a filter. A table report of 60 rows of six texts per page.

#include "export/loaded_report_export.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "export/csv_filter.h"
#include "export/html_filter.h"
#include "platform/gdi/emf_recorder.h"
#include "platform/null_printer_device.h"
#include "report/qr_page_list.h"
#include "report/qr_printer.h"

namespace {

using pravel::gdi::EmfRecorder;

constexpr int kRowsPerPage = 60;
constexpr int kColumns = 6;

pravel::gdi::Metafile TablePage(int page) {
  EmfRecorder canvas(794, 1123);
  pravel::Font font;
  canvas.SelectObject(canvas.CreateFont(pravel::gdi::LogFontFromFont(font)));
  for (int row = 0; row < kRowsPerPage; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      const std::string text = "Item " + std::to_string((page * kRowsPerPage + row) * 10 + column);
      const std::vector<std::int32_t> dx(text.size(), 6);
      canvas.ExtTextOut({40 + column * 120, 40 + row * 17}, text, dx);
    }
  }
  return canvas.Finish();
}

// A report of `pages` table pages, written once and loaded.
class LoadedReport {
 public:
  explicit LoadedReport(int pages)
      : path_((std::filesystem::temp_directory_path() / ("pravel-bench-" + std::to_string(pages) + ".qrp")).string()) {
    pravel::TQRPageList list;
    list.SetStream(std::make_shared<pravel::TQRStream>(pravel::kProductionSpillLimit));
    for (int p = 0; p < pages; ++p) list.AddPage(TablePage(p));
    list.Finish();
    list.SaveFile(path_);
    printer_.Load(path_);
  }
  ~LoadedReport() { std::filesystem::remove(path_); }
  LoadedReport(const LoadedReport&) = delete;
  LoadedReport& operator=(const LoadedReport&) = delete;

  pravel::TQRPrinter& Printer() { return printer_; }

 private:
  std::string path_;
  pravel::TQRPrinter printer_{std::make_unique<pravel::NullPrinterDevice>()};
};

void BM_LoadedReportToHtml(benchmark::State& state) {
  LoadedReport report(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    pravel::TQRHTMLDocumentFilter filter("");
    pravel::ExportLoadedReport(report.Printer(), filter);
    benchmark::DoNotOptimize(filter.Stream()->Data().size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));  // pages
}
BENCHMARK(BM_LoadedReportToHtml)->Arg(20)->Unit(benchmark::kMillisecond);

void BM_LoadedReportToCsv(benchmark::State& state) {
  LoadedReport report(static_cast<int>(state.range(0)));
  const std::string path = (std::filesystem::temp_directory_path() / "pravel-bench-loaded.csv").string();
  for (auto _ : state) {
    pravel::TQRCommaSeparatedFilter filter(path);
    pravel::ExportLoadedReport(report.Printer(), filter);
  }
  std::filesystem::remove(path);
  state.SetItemsProcessed(state.iterations() * state.range(0));  // pages
}
BENCHMARK(BM_LoadedReportToCsv)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
