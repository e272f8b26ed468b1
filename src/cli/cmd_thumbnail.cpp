// qrptool thumbnail: page 1 of a report as a small smoothed PNG, for file
// managers.

#include <algorithm>
#include <cmath>
#include <iostream>
#include <optional>
#include <string>

#include "cli/cli_util.h"
#include "cli/commands.h"
#include "cli/options.h"

#ifdef PRAVEL_HAVE_QT
#include <QSaveFile>
#include <QString>

#include "cli/gui_application.h"
#include "platform/errors.h"
#include "platform/qt/png_writer.h"
#include "platform/qt/render.h"
#include "report/qr_page_list.h"
#endif

namespace pravel::cli {

namespace {

constexpr std::string_view kUsage =
    "usage: qrptool thumbnail [-s SIZE] FILE.qrp OUT.png\n"
    "  Draws page 1 fitted into SIZE x SIZE pixels (default 128, at most 1024),\n"
    "  keeping its shape, smoothed. Nothing is written for a file that cannot\n"
    "  be read.\n";

constexpr int kMostPixels = 1024;

constexpr OptionSpec kOptions[] = {{"--size", "-s", "a size of 1 to 1024 pixels"}};
constexpr CommandSpec kCommand{"thumbnail", kUsage, kOptions};

struct Options {
  std::string input, output;
  int size = 128;
};

std::optional<std::string> ReadOptions(const CommandLine& line, Options& o) {
  if (const auto size = line.Value("--size")) {
    const auto pixels = ParseNumber(*size, 1, kMostPixels);
    if (!pixels) return "--size needs a size of 1 to 1024 pixels";
    o.size = static_cast<int>(*pixels);
  }
  if (line.positional.size() != 2) return "thumbnail takes a report and an output file";
  o.input = line.positional[0];
  o.output = line.positional[1];
  return std::nullopt;
}

#ifdef PRAVEL_HAVE_QT

// The page's frame fitted into size x size, its longer side filling it.
QSize FittedSize(const gdi::Metafile& page, int size) {
  const QSizeF mm = qt::FrameSizeMm(page);
  const double w = std::fabs(mm.width()), h = std::fabs(mm.height());
  if (!(w > 0) || !(h > 0) || !std::isfinite(w) || !std::isfinite(h)) return {size, size};
  const double scale = size / std::max(w, h);
  return {std::clamp(static_cast<int>(std::lround(w * scale)), 1, size),
          std::clamp(static_cast<int>(std::lround(h * scale)), 1, size)};
}

int Thumbnail(const Options& o) {
  std::optional<gdi::Metafile> page;
  try {
    TQRPageList list;
    list.LoadFile(o.input);
    if (list.PageCount() < 1) throw EMetafileError("the report has no pages");
    page = list.GetPage(1);
    if (!page) throw EMetafileError("page 1 is missing");
  } catch (const std::exception& e) {
    return ReportFailure(o.input, e);
  }
  const GuiApplicationScope app;
  bool stopped = false;
  const QImage image = qt::RenderImage(*page, FittedSize(*page, o.size), {.antialias = true}, &stopped);
  // A picture of half a page would mislead: a page that asks for too much
  // work gets no thumbnail.
  if (stopped) return ReportStoppedPages("thumbnail", o.input, {1});
  // Written beside the target and renamed over it, so that a failure leaves nothing.
  QSaveFile file(QString::fromStdString(o.output));
  const QByteArray png = qt::EncodePng(image);
  if (png.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.commit()) {
    std::cerr << "qrptool: " << EFileCreateError(o.output, "The file cannot be written.").what() << '\n';
    return kExitBadFile;
  }
  return kExitOk;
}

#endif

}  // namespace

int RunThumbnail(Args args) {
#ifdef PRAVEL_HAVE_QT
  return RunWithOptions(kCommand, args, ReadOptions, Thumbnail);
#else
  return RunWithOptions(kCommand, args, ReadOptions, [](const Options&) { return ReportNotInThisBuild("thumbnail"); });
#endif
}

}  // namespace pravel::cli
