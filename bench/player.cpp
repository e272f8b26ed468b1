// Playing corpus pages onto a QImage at 96 dpi, one benchmark per file.
// The corpus folder is ../shared/corpus/emf/valid beside the source tree, or
// PRAVEL_CORPUS.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/gdi/metafile.h"
#include "platform/qt/font_resolver.h"
#include "platform/qt/render.h"

namespace {

namespace fs = std::filesystem;

fs::path CorpusFolder() {
  if (const char* env = std::getenv("PRAVEL_CORPUS")) return env;
  return fs::path(PRAVEL_SOURCE_DIR) / ".." / "shared" / "corpus" / "emf" / "valid";
}

void PlayPage(benchmark::State& state, const pravel::gdi::Metafile& metafile) {
  // Pages metres wide are drawn at most 2000 pixels wide.
  QSize size = pravel::qt::PixelSizeForDpi(metafile, 96);
  if (size.width() > 2000) size = pravel::qt::PixelSizeForWidth(metafile, 2000);
  QImage image(size, QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    pravel::qt::PaintMetafile(painter, metafile, QRectF(0, 0, size.width(), size.height()));
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qt_argc = 1;
  QGuiApplication app(qt_argc, argv);
  pravel::qt::LoadLookAlikeFonts();
  std::vector<fs::path> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(CorpusFolder(), error))
    if (entry.path().extension() == ".emf") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const auto& path : files) {
    std::ifstream in(path, std::ios::binary);
    pravel::Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    try {
      auto metafile = pravel::gdi::Metafile::FromBytes(std::move(bytes));
      benchmark::RegisterBenchmark(path.filename().string().c_str(), [metafile](benchmark::State& state) {
        PlayPage(state, metafile);
      })->Unit(benchmark::kMillisecond);
    } catch (const std::exception&) {
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
