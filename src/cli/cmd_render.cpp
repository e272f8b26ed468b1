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
#include "cli/page_pipeline.h"
#include "cli/progress_line.h"
#include "cli/render_pdf_parts.h"
#include "platform/errors.h"
#include "platform/gdi/emf_types.h"
#include "platform/gdi/metafile.h"
#include "report/qr_page_list.h"

#ifdef PRAVEL_HAVE_QT
#include <QFontDatabase>
#include <QGuiApplication>
#include <time.h>
#include <QString>
#include "platform/qt/font_resolver.h"
#include "platform/qt/png_writer.h"
#include "platform/qt/render.h"
#endif

namespace pravel::cli {

#ifdef PRAVEL_HAVE_QT

namespace {

constexpr const char* kUsage =
    "usage: qrptool render FILE.qrp|FILE.emf -o OUT.png|OUT.pdf|OUT.svg\n"
    "                      [--page N | --pages A-B] [--dpi D | --width PX] [--antialias]\n"
    "                      [--jobs N] [--quiet]\n"
    "  .png and .svg write one file per page (OUT-0001.png, ... for several pages),\n"
    "  .pdf one document with a page per report page. Default: all pages, 96 dpi.\n"
    "  Pages are drawn on N threads (default: the available cores); --quiet\n"
    "  leaves out the progress line shown on a terminal.\n";

struct Options {
  std::string input, output;
  int first = 0, last = 0;  // 0: open end
  double dpi = 96;
  int width = 0;
  bool antialias = false;
  bool quiet = false;
  int jobs = AvailableCores();
};

int Usage(const std::string& message) {
  std::cerr << "qrptool render: " << message << '\n' << kUsage;
  return kExitUsage;
}

bool ParseInt(const std::string& s, int& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  const long v = std::strtol(s.c_str(), &end, 10);
  if (*end != '\0' || v < 1 || v > 1000000000L) return false;
  out = static_cast<int>(v);
  return true;
}

std::optional<std::string> ParseArgs(Args args, Options& o) {
  bool page_given = false, size_given = false;
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string& a = args[k];
    const auto value = [&]() -> const std::string* { return k + 1 < args.size() ? &args[++k] : nullptr; };
    if (a == "-o" || a == "--output") {
      const auto* v = value();
      if (!v) return "-o needs a file name";
      o.output = *v;
    } else if (a == "--page") {
      const auto* v = value();
      if (!v || !ParseInt(*v, o.first) || page_given) return "--page needs one page number";
      o.last = o.first;
      page_given = true;
    } else if (a == "--pages") {
      const auto* v = value();
      const auto dash = v ? v->find('-') : std::string::npos;
      if (!v || dash == std::string::npos || page_given || !ParseInt(v->substr(0, dash), o.first) ||
          !ParseInt(v->substr(dash + 1), o.last) || o.last < o.first)
        return "--pages needs a range A-B";
      page_given = true;
    } else if (a == "--dpi") {
      if (size_given) return "--dpi and --width exclude each other";
      const auto* v = value();
      int dpi = 0;
      if (!v || !ParseInt(*v, dpi) || dpi > 4800) return "--dpi needs a resolution of 1 to 4800";
      o.dpi = dpi;
      size_given = true;
    } else if (a == "--width") {
      if (size_given) return "--dpi and --width exclude each other";
      const auto* v = value();
      if (!v || !ParseInt(*v, o.width) || o.width > 30000) return "--width needs 1 to 30000 pixels";
      size_given = true;
    } else if (a == "--antialias") {
      o.antialias = true;
    } else if (a == "--quiet" || a == "-q") {
      o.quiet = true;
    } else if (a == "--jobs" || a == "-j") {
      const auto* v = value();
      const auto jobs = v ? ParseJobs(*v) : std::nullopt;
      if (!jobs) return "--jobs needs a number of threads from 1 to 256";
      o.jobs = *jobs;
    } else if (!a.empty() && a[0] == '-') {
      return "unknown option " + a;
    } else if (o.input.empty()) {
      o.input = a;
    } else {
      return "more than one input file";
    }
  }
  if (o.input.empty()) return "no input file";
  if (o.output.empty()) return "no output file (-o)";
  return std::nullopt;
}

enum class Format { Png, Pdf, Svg };

// The font database filled, the look-alike fonts added and the time zone
// read on this thread, before pages are drawn on others.
void PrepareFontsForThreads() {
  qt::LoadLookAlikeFonts();
  QFontDatabase::families();
  ::tzset();
}

// Pixels of the largest picture drawn (64 MB of image; A0 at 96 dpi fits).
constexpr double kMaxPixels = 16e6;

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
  // Pages are read under the page list's lock and decoded outside it, so
  // that several threads can decode at once.
  return {list->PageCount(), [list](int page) {
            auto stored = list->ReadStoredPage(page);
            if (!stored) throw EMetafileError("page " + std::to_string(page) + " is missing");
            return DecodeStoredPage(*stored);
          }};
}

}  // namespace

int RunRender(Args args) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << kUsage;
    return kExitOk;
  }
  Options o;
  if (auto error = ParseArgs(args, o)) return Usage(*error);
  const auto format = FormatOf(o.output);
  if (!format) return Usage("the output must end in .png, .pdf or .svg");

  // Drawing into files needs no display: the offscreen platform, unless one
  // is chosen, starts quickest.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "qrptool";
  static char* argv[] = {name, nullptr};
  std::optional<QGuiApplication> app;
  if (!QCoreApplication::instance()) app.emplace(argc, argv);

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
    return Usage("page out of range: the file has " + std::to_string(source.count) + " page(s)");

  const qt::SurfaceOptions surface{o.antialias};
  const int count = last - first + 1;
  // The SVG writer is not known to be safe on several threads.
  if (*format == Format::Svg) o.jobs = 1;
  if (o.jobs > 1) PrepareFontsForThreads();
  ProgressLine progress(count, o.quiet);
  if (*format == Format::Pdf && o.jobs > 1 && count > 1) {
    PdfPartsRequest request;
    request.first = first;
    request.last = last;
    request.jobs = o.jobs;
    request.output = o.output;
    request.surface = surface;
    request.open_source = [&o] { return OpenInput(o.input).get; };
    request.make_document = [](const QString& path) { return std::make_unique<qt::PdfDocument>(path); };
    request.progress = [&progress](int done) { progress.Update(done); };
    const PdfPartsOutcome outcome = RenderPdfInParts(request);
    if (outcome.damaged_page != 0) {
      std::cerr << "qrptool render: " << o.input << ": page " << outcome.damaged_page << ": " << outcome.damage << '\n';
      return kExitBadFile;
    }
    if (!outcome.written) {
      std::cerr << "qrptool render: " << EFileCreateError(o.output, "The file cannot be written.").what() << '\n';
      return kExitBadFile;
    }
    return kExitOk;
  }
  std::unique_ptr<qt::PdfDocument> pdf;
  if (*format == Format::Pdf) pdf = std::make_unique<qt::PdfDocument>(QString::fromStdString(o.output));

  // Workers read, decode and draw a page (PNG and SVG files are written
  // there too); PDF pages are added to the one document here, in order.
  struct Drawn {
    std::optional<gdi::Metafile> metafile;  // a PDF page still to be added
    std::string note;                       // a message about the page
    std::string damage;                     // why the page cannot be read
    bool written = true;
  };
  const auto work = [&](int page) {
    Drawn drawn;
    std::optional<gdi::Metafile> read;
    try {
      read.emplace(source.get(page));
    } catch (const std::exception& e) {
      drawn.damage = ErrorText(e);
      return drawn;
    }
    gdi::Metafile& metafile = *read;
    if (*format == Format::Pdf) {
      drawn.metafile.emplace(std::move(metafile));
      return drawn;
    }
    QSize size = o.width ? qt::PixelSizeForWidth(metafile, o.width) : qt::PixelSizeForDpi(metafile, o.dpi);
    if (static_cast<double>(size.width()) * size.height() > kMaxPixels) {
      // A page this large (metres of paper, or a damaged frame) is drawn smaller.
      const double f = std::sqrt(kMaxPixels / (static_cast<double>(size.width()) * size.height()));
      size = QSize(std::max(1, static_cast<int>(size.width() * f)), std::max(1, static_cast<int>(size.height() * f)));
      drawn.note = "qrptool render: page " + std::to_string(page) + " drawn at " + std::to_string(size.width()) +
                   " x " + std::to_string(size.height()) + " pixels, the most this tool draws";
    }
    const QString path = QString::fromStdString(PagePath(o.output, page, count));
    if (*format == Format::Png) {
      const QImage image = qt::RenderImage(metafile, size, surface);
      drawn.written = !image.isNull() && qt::WritePng(image, path);
    } else {
      drawn.written = qt::WriteSvg(metafile, size, path, surface);
    }
    return drawn;
  };
  int failed_page = 0;
  bool damaged = false;
  const auto deliver = [&](int page, Drawn&& drawn) {
    if (!drawn.damage.empty()) {
      std::cerr << "qrptool render: " << o.input << ": page " << page << ": " << drawn.damage << '\n';
      damaged = true;
      return false;
    }
    if (!drawn.note.empty()) std::cerr << drawn.note << '\n';
    if (drawn.metafile) drawn.written = pdf->AddPage(*drawn.metafile, surface);
    if (!drawn.written) {
      failed_page = page;
      return false;
    }
    progress.Update(page - first + 1);
    return true;
  };
  try {
    RunPagesInOrder<Drawn>(first, last, o.jobs, work, deliver);
  } catch (const std::exception& e) {
    // The page number is in the message of a damaged page already.
    std::cerr << "qrptool render: " << o.input << ": " << ErrorText(e) << '\n';
    if (pdf) pdf->Finish();
    return kExitBadFile;
  }
  if (damaged) {
    if (pdf) pdf->Finish();
    return kExitBadFile;
  }
  if (failed_page != 0) {
    const std::string path = pdf ? o.output : PagePath(o.output, failed_page, count);
    std::cerr << "qrptool render: " << EFileCreateError(path, "The file cannot be written.").what() << '\n';
    return kExitBadFile;
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
