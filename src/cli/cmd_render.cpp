// qrptool render: pages of a report or an EMF file as PNG, PDF or SVG.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>

#include "cli/cli_util.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "platform/errors.h"
#include "platform/gdi/emf_types.h"
#include "platform/gdi/metafile.h"
#include "report/qr_page_list.h"

#ifdef PRAVEL_HAVE_QT
#include <QString>

#include "cli/gui_application.h"
#include "platform/qt/png_writer.h"
#include "platform/qt/render.h"
#endif

namespace pravel::cli {

#ifdef PRAVEL_HAVE_QT

namespace {

constexpr const char* kUsage =
    "usage: qrptool render FILE.qrp|FILE.emf -o OUT.png|OUT.pdf|OUT.svg\n"
    "                      [--page N | --pages A-B] [--dpi D | --width PX] [--antialias]\n"
    "  .png and .svg write one file per page (OUT-0001.png, ... for several pages),\n"
    "  .pdf one document with a page per report page. Default: all pages, 96 dpi.\n";

enum class Format { Png, Pdf, Svg };

std::optional<Format> FormatOf(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos) return std::nullopt;
  std::string ext = path.substr(dot + 1);
  for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "png") return Format::Png;
  if (ext == "pdf") return Format::Pdf;
  if (ext == "svg") return Format::Svg;
  return std::nullopt;
}

struct Options {
  std::string input, output;
  int first = 0, last = 0;  // 0: open end
  double dpi = 96;
  int width = 0;
  bool antialias = false;
  std::optional<Format> format;
};

constexpr OptionSpec kOptions[] = {
    {"--output", "-o", "a file name"},
    {"--page", "", "one page number"},
    {"--pages", "", "a range A-B"},
    {"--dpi", "", "a resolution of 1 to 4800"},
    {"--width", "", "1 to 30000 pixels"},
    {"--antialias"},
};
constexpr CommandSpec kCommand{"render", kUsage, kOptions};

std::optional<int> PageNumber(std::string_view text) {
  const auto number = ParseNumber(text, 1, 1000000000);
  return number ? std::optional<int>(static_cast<int>(*number)) : std::nullopt;
}

std::optional<std::string> ReadOptions(const CommandLine& line, Options& o) {
  if (line.Has("--page") && line.Has("--pages")) return "--page and --pages exclude each other";
  if (const auto page = line.Value("--page")) {
    const auto number = PageNumber(*page);
    if (!number) return "--page needs one page number";
    o.first = o.last = *number;
  }
  if (const auto range = line.Value("--pages")) {
    const auto dash = range->find('-');
    const auto first = PageNumber(std::string_view(*range).substr(0, dash));
    const auto last = dash == std::string::npos ? std::nullopt : PageNumber(std::string_view(*range).substr(dash + 1));
    if (!first || !last || *last < *first) return "--pages needs a range A-B";
    o.first = *first;
    o.last = *last;
  }
  if (line.Has("--dpi") && line.Has("--width")) return "--dpi and --width exclude each other";
  if (const auto dpi = line.Value("--dpi")) {
    const auto number = ParseNumber(*dpi, 1, 4800);
    if (!number) return "--dpi needs a resolution of 1 to 4800";
    o.dpi = static_cast<double>(*number);
  }
  if (const auto width = line.Value("--width")) {
    const auto number = ParseNumber(*width, 1, 30000);
    if (!number) return "--width needs 1 to 30000 pixels";
    o.width = static_cast<int>(*number);
  }
  o.antialias = line.Has("--antialias");
  if (line.positional.size() > 1) return "more than one input file";
  if (line.positional.empty()) return "no input file";
  o.input = line.positional[0];
  o.output = line.Value("--output").value_or("");
  if (o.output.empty()) return "no output file (-o)";
  o.format = FormatOf(o.output);
  if (!o.format) return "the output must end in .png, .pdf or .svg";
  return std::nullopt;
}

// Pixels of the largest picture drawn (64 MB of image; A0 at 96 dpi fits).
constexpr double kMaxPixels = 16e6;

// The file for page `page` when `count` pages are written.
std::string PagePath(const std::string& output, int page, int count) {
  if (count == 1) return output;
  const auto dot = output.rfind('.');
  char number[16];
  std::snprintf(number, sizeof number, "-%04d", page);
  return output.substr(0, dot) + number + output.substr(dot);
}

// The pages of an input file; `Get` throws for a page that cannot be read.
struct PageSource {
  int count = 0;
  std::function<gdi::Metafile(int page)> get;
};

// The first `limit` bytes of a file, or all of it.
Bytes ReadFile(const std::string& path, std::size_t limit = SIZE_MAX) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFileOpenError(path, SystemErrorText(errno));
  Bytes data;
  char buffer[65536];
  while (data.size() < limit && in.read(buffer, static_cast<std::streamsize>(std::min(sizeof buffer, limit - data.size())))) {
    data.insert(data.end(), buffer, buffer + in.gcount());
  }
  data.insert(data.end(), buffer, buffer + in.gcount());
  if (in.bad()) throw EStreamReadError();
  return data;
}

bool LooksLikeEmf(const Bytes& data) {
  return data.size() >= gdi::kEmfHeaderBaseSize && LoadU32(data, 0) == 1 && LoadU32(data, 40) == gdi::kEmfSignature;
}

PageSource OpenInput(const std::string& path) {
  if (LooksLikeEmf(ReadFile(path, gdi::kEmfHeaderBaseSize))) {
    auto metafile = std::make_shared<gdi::Metafile>(gdi::Metafile::FromBytes(ReadFile(path)));
    return {1, [metafile](int) { return *metafile; }};
  }
  // Saved reports are read through the page list of the report core.
  auto list = std::make_shared<TQRPageList>();
  list->LoadFile(path);
  return {list->PageCount(), [list](int page) {
            auto metafile = list->GetPage(page);
            if (!metafile) throw EMetafileError("page " + std::to_string(page) + " is missing");
            return *metafile;
          }};
}

}  // namespace

int RunRender(Args args) {
  Options o;
  const auto parsed = ParseCommand(kCommand, args, [&o](const CommandLine& line) { return ReadOptions(line, o); });
  if (parsed.status) return *parsed.status;
  const auto format = o.format;

  const GuiApplicationScope app;

  PageSource source;
  try {
    source = OpenInput(o.input);
  } catch (const EFileOpenError& e) {
    std::cerr << "qrptool render: " << e.what() << '\n';
    return kExitBadFile;
  } catch (const std::exception& e) {
    std::cerr << "qrptool render: " << o.input << ": " << ErrorText(e) << '\n';
    return kExitBadFile;
  }
  const int first = o.first ? o.first : 1;
  const int last = o.last ? o.last : source.count;
  if (source.count == 0) {
    std::cerr << "qrptool render: " << o.input << ": the report has no pages\n";
    return kExitOk;
  }
  if (first > source.count || last > source.count)
    return ReportUsage(kCommand, "page out of range: the file has " + std::to_string(source.count) + " page(s)");

  const qt::SurfaceOptions surface{o.antialias};
  std::unique_ptr<qt::PdfDocument> pdf;
  if (*format == Format::Pdf) pdf = std::make_unique<qt::PdfDocument>(QString::fromStdString(o.output));
  const int count = last - first + 1;
  for (int page = first; page <= last; ++page) {
    std::optional<gdi::Metafile> metafile;
    try {
      metafile = source.get(page);
    } catch (const std::exception& e) {
      std::cerr << "qrptool render: " << o.input << ": page " << page << ": " << ErrorText(e) << '\n';
      if (pdf) pdf->Finish();
      return kExitBadFile;
    }
    QSize size = o.width ? qt::PixelSizeForWidth(*metafile, o.width) : qt::PixelSizeForDpi(*metafile, o.dpi);
    if (*format != Format::Pdf && static_cast<double>(size.width()) * size.height() > kMaxPixels) {
      // A page this large (metres of paper, or a damaged frame) is drawn smaller.
      const double f = std::sqrt(kMaxPixels / (static_cast<double>(size.width()) * size.height()));
      size = QSize(std::max(1, static_cast<int>(size.width() * f)), std::max(1, static_cast<int>(size.height() * f)));
      std::cerr << "qrptool render: page " << page << " drawn at " << size.width() << " x " << size.height()
                << " pixels, the most this tool draws\n";
    }
    const std::string path = PagePath(o.output, page, count);
    bool ok = true;
    switch (*format) {
      case Format::Png: {
        const QImage image = qt::RenderImage(*metafile, size, surface);
        ok = !image.isNull() && qt::WritePng(image, QString::fromStdString(path));
        break;
      }
      case Format::Svg: ok = qt::WriteSvg(*metafile, size, QString::fromStdString(path), surface); break;
      case Format::Pdf: ok = pdf->AddPage(*metafile, surface); break;
    }
    if (!ok) {
      std::cerr << "qrptool render: " << EFileCreateError(path, "The file cannot be written.").what() << '\n';
      return kExitBadFile;
    }
  }
  if (pdf && !pdf->Finish()) {
    std::cerr << "qrptool render: " << EFileCreateError(o.output, "The file cannot be written.").what() << '\n';
    return kExitBadFile;
  }
  return kExitOk;
}

#else

int RunRender(Args /*args*/) {
  std::cerr << "qrptool render: not available in this build (no Qt)\n";
  return kExitUsage;
}

#endif

}  // namespace pravel::cli
