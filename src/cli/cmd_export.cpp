// qrptool export: the text of a report's pages as plain text, CSV or HTML.

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/batch.h"
#include "cli/cli_util.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/page_pipeline.h"
#include "cli/progress_line.h"
#include "export/ascii_filter.h"
#include "export/csv_filter.h"
#include "export/html_filter.h"
#include "export/io_error.h"
#include "export/loaded_report_export.h"
#include "platform/errors.h"
#include "platform/null_printer_device.h"
#include "report/qr_printer.h"

namespace pravel::cli {

namespace {

constexpr const char* kUsage =
    "usage: qrptool export FILE.qrp... -o OUT.txt|OUT.csv|OUT.htm|DIR/ [--format txt|csv|html]\n"
    "                      [--force] [--quiet]\n"
    "  Writes the text of the report's pages as plain text, comma-separated text\n"
    "  or HTML table fragments. The format follows OUT's extension unless given.\n"
    "  Several files, or an output folder, write DIR/NAME.txt (or --format),\n"
    "  skipping files whose output is newer unless --force, and end with a\n"
    "  summary. --quiet leaves out the progress line shown on a terminal.\n";

enum class Format { Text, Csv, Html };

struct Options {
  std::string input, output;
  std::optional<Format> format;
  std::vector<std::string> inputs;
  bool force = false, quiet = false;
};

constexpr ValueName<Format> kFormatNames[] = {
    {Format::Text, "txt"}, {Format::Csv, "csv"}, {Format::Html, "htm"}, {Format::Html, "html"}};

constexpr OptionSpec kOptions[] = {
    {"--output", "-o", "a file name"}, {"--format", "", "txt, csv or html"}, {"--force"}, kQuietOption};
constexpr CommandSpec kCommand{"export", kUsage, kOptions};

std::optional<std::string> ReadOptions(const CommandLine& line, Options& o) {
  if (line.positional.empty()) return "no report to export";
  o.inputs = line.positional;
  o.force = line.Has("--force");
  o.quiet = line.Has("--quiet");
  o.output = line.Value("--output").value_or("");
  if (o.output.empty()) return "no output file (-o)";
  const bool folder = IsFolderOutput(o.output);
  if (o.inputs.size() > 1 && !folder) return "several reports need an output folder (-o DIR/)";
  if (const auto name = line.Value("--format")) {
    o.format = ValueNamed<Format>(kFormatNames, *name);
    if (!o.format) return "--format needs txt, csv or html";
  } else if (folder) {
    o.format = Format::Text;
  } else {
    const std::string extension = std::filesystem::path(o.output).extension().string();
    if (!extension.empty()) o.format = ValueNamed<Format>(kFormatNames, extension.substr(1));
    if (!o.format) return "cannot tell the format from " + o.output + "; give --format";
  }
  return std::nullopt;
}

std::unique_ptr<TQRExportFilter> FilterFor(Format format, const std::string& output) {
  switch (format) {
    case Format::Text: return std::make_unique<TQRAsciiExportFilter>(output);
    case Format::Csv: return std::make_unique<TQRCommaSeparatedFilter>(output);
    case Format::Html: break;
  }
  return std::make_unique<TQRHTMLDocumentFilter>(output);
}

// One line naming the file the error is about.
int ReportError(const Options& o, const std::exception& e) {
  const bool names_its_file =
      dynamic_cast<const EFileOpenError*>(&e) != nullptr || dynamic_cast<const EFileCreateError*>(&e) != nullptr;
  const bool about_output =
      dynamic_cast<const EInOutError*>(&e) != nullptr || dynamic_cast<const EStreamWriteError*>(&e) != nullptr;
  std::cerr << "qrptool export: ";
  if (!names_its_file) std::cerr << (about_output ? o.output : o.input) << ": ";
  std::cerr << ErrorText(e) << '\n';
  return kExitBadFile;
}

int Export(const Options& o) {
  // No printer is needed: the paper comes from the pages themselves.
  TQRPrinter printer(std::make_unique<NullPrinterDevice>());
  try {
    printer.Load(o.input);
    const auto filter = FilterFor(*o.format, o.output);
    ProgressLine progress(printer.PageCount(), o.quiet);
    ExportLoadedReportPages(printer, *filter, [&progress](int page) { progress.Update(page); });
  } catch (const std::exception& e) {
    return ReportError(o, e);
  }
  std::cout << o.input << ": " << printer.PageCount() << (printer.PageCount() == 1 ? " page" : " pages")
            << " exported to " << o.output << '\n';
  return ReportStoppedPages("export", o.input, printer.StoppedPages());
}

}  // namespace

int RunExport(Args args) {
  return RunWithOptions(kCommand, args, ReadOptions, [](const Options& o) {
    return ConvertEachFile("export", o, NameOf<Format>(kFormatNames, *o.format), Export);
  });
}

}  // namespace pravel::cli
