// qrptool render: pages of a report or an EMF file as PNG, PDF or SVG.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "cli/cli_util.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/page_pipeline.h"
#include "cli/progress_line.h"
#include "cli/render_usage.h"
#include "platform/errors.h"
#include "platform/gdi/emf_types.h"
#include "platform/gdi/metafile.h"
#include "report/ole_date.h"
#include "report/qr_page_list.h"

#ifdef PRAVEL_HAVE_QT
#include <time.h>

#include <QDateTime>
#include <QFontDatabase>
#include <QString>

#include "cli/gui_application.h"
#include "cli/page_canvas.h"
#include "cli/render_pdf_parts.h"
#include "platform/qt/font_resolver.h"
#include "platform/qt/png_writer.h"
#include "platform/qt/render.h"
#endif

namespace pravel::cli {

#ifdef PRAVEL_HAVE_QT

namespace {

constexpr std::string_view kUsage = kRenderUsage;

enum class Format { Png, Pdf, Svg };

constexpr ValueName<Format> kFormatNames[] = {{Format::Png, "png"}, {Format::Pdf, "pdf"}, {Format::Svg, "svg"}};

std::optional<Format> FormatOf(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos) return std::nullopt;
  return ValueNamed<Format>(kFormatNames, std::string_view(path).substr(dot + 1));
}

// The font database filled, the look-alike fonts added and the time zone
// read on this thread, before pages are drawn on others.
void PrepareFontsForThreads() {
  qt::LoadLookAlikeFonts();
  QFontDatabase::families();
  ::tzset();
}

struct Options {
  std::string input, output;
  int first = 0, last = 0;  // 0: open end
  double dpi = 96;
  int width = 0;
  bool antialias = false;
  bool pdfa = false;
  std::optional<Format> format;
  std::vector<std::string> inputs;
  bool force = false, quiet = false;
  int jobs = AvailableCores();
};

constexpr OptionSpec kOptions[] = {
    {"--output", "-o", "a file name"},
    {"--page", "", "one page number"},
    {"--pages", "", "a range A-B"},
    {"--dpi", "", "a resolution of 1 to 4800"},
    {"--width", "", "1 to 30000 pixels"},
    {"--antialias"},
    {"--pdfa"},
    {"--format", "", "png, pdf or svg"},
    {"--force"},
    kJobsOption,
    kQuietOption,
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
  o.pdfa = line.Has("--pdfa");
  o.force = line.Has("--force");
  o.quiet = line.Has("--quiet");
  if (auto problem = ReadJobs(line, o.jobs)) return problem;
  if (line.positional.empty()) return "no input file";
  o.inputs = line.positional;
  o.output = line.Value("--output").value_or("");
  if (o.output.empty()) return "no output file (-o)";
  if (const auto named = line.Value("--format")) {
    o.format = ValueNamed<Format>(kFormatNames, *named);
    if (!o.format) return "--format needs png, pdf or svg";
  } else {
    o.format = IsFolderOutput(o.output) ? std::optional(Format::Pdf) : FormatOf(o.output);
    if (!o.format) return "the output must end in .png, .pdf or .svg";
  }
  if (o.inputs.size() > 1 && !IsFolderOutput(o.output)) return "several input files need an output folder (-o DIR/)";
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
  QDateTime created;  // from a report's header
  std::function<gdi::Metafile(int page)> get;
};

// The first `limit` bytes of a file, or all of it.
Bytes ReadFile(const std::string& path, std::size_t limit = SIZE_MAX) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFileOpenError(path, SystemErrorText(errno));
  Bytes data;
  char buffer[65536];
  while (data.size() < limit &&
         in.read(buffer, static_cast<std::streamsize>(std::min(sizeof buffer, limit - data.size())))) {
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
    return {1, QDateTime(), [metafile](int) { return *metafile; }};
  }
  // Saved reports are read through the page list of the report core.
  auto list = std::make_shared<TQRPageList>();
  list->LoadFile(path);
  // Pages are read under the page list's lock and decoded outside it, so
  // that several threads can decode at once.
  const auto created = FormatOleDate(list->ReadHeader().CreatedAt);
  return {list->PageCount(),
          created ? QDateTime::fromString(QString::fromStdString(*created), Qt::ISODate) : QDateTime(),
          [list](int page) {
            auto stored = list->ReadStoredPage(page);
            if (!stored) throw EMetafileError("page " + std::to_string(page) + " is missing");
            return DecodeStoredPage(*stored);
          }};
}

qt::PdfInfo PdfInfoFor(const Options& o, const PageSource& source) {
  return {.title = QString::fromStdString(std::filesystem::path(o.input).stem().string()),
          .creator = QStringLiteral("Pravel"),
          .producer = QStringLiteral("Pravel " PRAVEL_VERSION),
          .created = source.created.isValid() ? source.created : QDateTime::currentDateTime(),
          .pdfa = o.pdfa};
}

// Draws the pages of one input file into `o.output`.
int RenderFile(Options o) {
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

  const auto format = o.format;
  const qt::SurfaceOptions surface{o.antialias};
  const int count = last - first + 1;
  // The SVG writer is not known to be safe on several threads; a PDF/A
  // document keeps its catalog, which joining parts would replace.
  if (*format == Format::Svg || o.pdfa) o.jobs = 1;
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
    const qt::PdfInfo info = PdfInfoFor(o, source);
    request.make_document = [info](const QString& path) { return std::make_unique<qt::PdfDocument>(path, info); };
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
    return ReportStoppedPages("render", o.input, outcome.stopped_pages);
  }
  std::unique_ptr<qt::PdfDocument> pdf;
  if (*format == Format::Pdf)
    pdf = std::make_unique<qt::PdfDocument>(QString::fromStdString(o.output), PdfInfoFor(o, source));

  // Workers read, decode and draw a page (PNG and SVG files are written
  // there too); PDF pages are added to the one document here, in order.
  struct Drawn {
    std::optional<gdi::Metafile> metafile;  // a PDF page still to be added
    std::string note;                       // a message about the page
    std::string damage;                     // why the page cannot be read
    bool written = true;
    bool stopped = false;  // drawing stopped on the page's work budget
  };
  // Each worker draws and encodes its pages in memory of its own, kept from page to page.
  struct WorkerBuffers {
    PageCanvas canvas;
    qt::PngBuffers png;
  };
  std::vector<WorkerBuffers> buffers(static_cast<std::size_t>(WorkersFor(first, last, o.jobs)));
  const auto work = [&](int page, int worker) {
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
      WorkerBuffers& mine = buffers[static_cast<std::size_t>(worker)];
      const QImage image = DrawOnCanvas(mine.canvas, metafile, size, surface, drawn.stopped);
      drawn.written = !image.isNull() && qt::WritePng(image, path, mine.png);
    } else {
      drawn.written = qt::WriteSvg(metafile, size, path, surface, &drawn.stopped);
    }
    return drawn;
  };
  std::vector<std::int32_t> stopped_pages;
  int failed_page = 0;
  bool damaged = false;
  const auto deliver = [&](int page, Drawn&& drawn) {
    if (!drawn.damage.empty()) {
      std::cerr << "qrptool render: " << o.input << ": page " << page << ": " << drawn.damage << '\n';
      damaged = true;
      return false;
    }
    if (!drawn.note.empty()) std::cerr << drawn.note << '\n';
    if (drawn.metafile) drawn.written = pdf->AddPage(*drawn.metafile, surface, &drawn.stopped);
    if (drawn.stopped) stopped_pages.push_back(page);
    if (!drawn.written) {
      failed_page = page;
      return false;
    }
    progress.Update(page - first + 1);
    return true;
  };
  try {
    // A PDF page waits for its turn as a metafile; PNG and SVG pages are
    // written by then and leave a few words.
    const int in_flight = pdf ? kPagesInFlightPerJob : kSmallResultPagesInFlightPerJob;
    RunPagesInOrder<Drawn>(first, last, o.jobs, work, deliver, in_flight);
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
  return ReportStoppedPages("render", o.input, stopped_pages);
}

}  // namespace

int RunRender(Args args) {
  return RunWithOptions(kCommand, args, ReadOptions, [](const Options& o) {
    const GuiApplicationScope app;
    return ConvertEachFile("render", o, NameOf<Format>(kFormatNames, *o.format), RenderFile);
  });
}

#else

int RunRender(Args /*args*/) { return ReportNotInThisBuild("render"); }

#endif

}  // namespace pravel::cli
