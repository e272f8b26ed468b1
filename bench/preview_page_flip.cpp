// A page flip in the preview: from GetPage to the page painted on the
// widget, for every page of the corpus's well-formed reports, at whole-page
// zoom in a 612 x 530 preview and at 100 %, text smoothed as on screen, and
// at whole-page zoom drawn as on a bitmap ("fit-bitmap"). The corpus folder is
// ../shared/corpus/qrp beside the source tree, or PRAVEL_QRP_CORPUS.
// After the runs the median of each zoom is printed.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/qt/font_resolver.h"
#include "preview/qr_preview.h"
#include "report/qr_printer.h"

namespace {

namespace fs = std::filesystem;

fs::path CorpusFolder() {
  if (const char* env = std::getenv("PRAVEL_QRP_CORPUS")) return env;
  return fs::path(PRAVEL_SOURCE_DIR) / ".." / "shared" / "corpus" / "qrp";
}

// One report shown in a preview, kept for all its benchmarks.
struct Shown {
  std::unique_ptr<pravel::TQRPrinter> printer = std::make_unique<pravel::TQRPrinter>();
  std::unique_ptr<pravel::TQRPreview> preview = std::make_unique<pravel::TQRPreview>();
};

void FlipTo(benchmark::State& state, Shown& shown, int page, bool fit, bool smooth) {
  pravel::TQRPreview& preview = *shown.preview;
  preview.PageImage().SetSmoothText(smooth);
  if (fit) {
    preview.ZoomToFit();
  } else {
    preview.SetZoom(100);
  }
  pravel::TQRPreviewImage& image = preview.PageImage();
  const auto renders = image.RenderCount();
  for (auto _ : state) image.ShowPage(page);
  if (image.RenderCount() - renders != static_cast<std::uint64_t>(state.iterations()))
    state.SkipWithError("the page was not painted");
}

// Collects the time per iteration of every run, by the zoom in its name.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.iterations == 0 || run.error_occurred) continue;
      const std::string name = run.benchmark_name();
      const std::string zoom = name.substr(name.rfind('/') + 1);
      times_[zoom].push_back(run.real_accumulated_time / static_cast<double>(run.iterations) * 1e3);
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintMedians() {
    for (auto& [zoom, ms] : times_) {
      std::sort(ms.begin(), ms.end());
      std::printf("median page flip at %s: %.2f ms over %zu pages (max %.2f ms)\n", zoom.c_str(), ms[ms.size() / 2],
                  ms.size(), ms.back());
    }
  }

 private:
  std::map<std::string, std::vector<double>> times_;
};

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qt_argc = 1;
  QApplication app(qt_argc, argv);
  pravel::qt::LoadLookAlikeFonts();

  std::vector<fs::path> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(CorpusFolder(), error)) {
    if (entry.path().extension() == ".qrp" && entry.path().filename().string().starts_with("ok-"))
      files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) std::fprintf(stderr, "no ok-*.qrp files in %s: nothing to measure\n", CorpusFolder().c_str());

  std::vector<std::unique_ptr<Shown>> shown;
  for (const auto& path : files) {
    auto report = std::make_unique<Shown>();
    try {
      report->printer->Load(path.string());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s: %s\n", path.c_str(), e.what());
      continue;
    }
    report->preview->resize(612, 530);
    report->preview->show();
    report->preview->SetQRPrinter(report->printer.get());
    QApplication::processEvents();
    Shown* at = report.get();
    for (int page = 1; page <= at->printer->PageCount(); ++page) {
      for (const auto& [fit, smooth, zoom] :
           {std::tuple{true, true, "fit"}, {false, true, "100"}, {true, false, "fit-bitmap"}}) {
        const std::string name = path.filename().string() + "/p" + std::to_string(page) + "/" + zoom;
        benchmark::RegisterBenchmark(name.c_str(), [at, page, fit, smooth](benchmark::State& state) {
          FlipTo(state, *at, page, fit, smooth);
        })->Unit(benchmark::kMillisecond);
      }
    }
    shown.push_back(std::move(report));
  }

  benchmark::Initialize(&argc, argv);
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintMedians();
  benchmark::Shutdown();
  return 0;
}
