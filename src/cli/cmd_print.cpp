// qrptool print: a report on a printer, printed as the viewer prints it.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "cli/cli_util.h"
#include "cli/commands.h"
#include "cli/options.h"

#ifdef PRAVEL_HAVE_QT
#include "cli/gui_application.h"
#include "platform/errors.h"
#include "platform/messages.h"
#include "platform/null_printer_device.h"
#include "platform/platform.h"
#include "platform/printer_device.h"
#include "platform/qt/font_resolver.h"
#include "platform/qt/qt_messages.h"
#include "report/qr_printer.h"
#endif

namespace pravel::cli {

namespace {

constexpr const char* kUsage =
    "usage: qrptool print FILE.qrp [--printer NAME] [--copies N] [--first A] [--last B]\n"
    "  Prints the report on the named printer, or on the default one, one page\n"
    "  on each sheet. --first and --last bound the pages (0 or left out: from the\n"
    "  first, to the last page); the printer makes the copies.\n";

struct Options {
  std::string input;
  std::optional<std::string> printer;
  std::optional<int> copies;
  int first = 0, last = 0;
};

constexpr OptionSpec kOptions[] = {
    {"--printer", "", "a printer name"},
    {"--copies", "", "a number of copies from 1 to 32767"},
    {"--first", "", "a page number (0 for an open end)"},
    {"--last", "", "a page number (0 for an open end)"},
};
constexpr CommandSpec kCommand{"print", kUsage, kOptions};

std::optional<std::string> ReadOptions(const CommandLine& line, Options& o) {
  constexpr int kMostCopies = std::numeric_limits<std::int16_t>::max();
  constexpr int kMostPages = std::numeric_limits<std::int32_t>::max();
  o.printer = line.Value("--printer");
  if (const auto copies = line.Value("--copies")) {
    const auto number = ParseNumber(*copies, 1, kMostCopies);
    if (!number) return "--copies needs a number of copies from 1 to 32767";
    o.copies = static_cast<int>(*number);
  }
  for (const std::string_view bound : {"--first", "--last"}) {
    const auto value = line.Value(bound);
    if (!value) continue;
    const auto page = ParseNumber(*value, 0, kMostPages);
    if (!page) return std::string(bound) + " needs a page number (0 for an open end)";
    (bound == "--first" ? o.first : o.last) = static_cast<int>(*page);
  }
  if (line.positional.size() > 1) return "more than one report";
  if (line.positional.empty()) return "no report to print";
  o.input = line.positional[0];
  return std::nullopt;
}

#ifdef PRAVEL_HAVE_QT

// The Qt application that the Platform's printer devices and message pump
// need, for one command.
class PrintingEnvironment {
 public:
  PrintingEnvironment() { qt::LoadLookAlikeFonts(); }
  // The shared printer, a Qt one, goes before the application.
  ~PrintingEnvironment() { Platform::Current().SetSharedPrinterDevice(nullptr); }
  PrintingEnvironment(const PrintingEnvironment&) = delete;
  PrintingEnvironment& operator=(const PrintingEnvironment&) = delete;

 private:
  GuiApplicationScope app_;
};

int ReportBadFile(const std::string& path, const std::exception& e) {
  // The open error names the file itself.
  if (dynamic_cast<const EFileOpenError*>(&e) != nullptr) {
    std::cerr << "qrptool print: " << e.what() << '\n';
  } else {
    std::cerr << "qrptool print: " << path << ": " << ErrorText(e) << '\n';
  }
  return kExitBadFile;
}

int Print(const Options& o) {
  try {
    // The file is checked before the printers are looked at.
    TQRPrinter without_printers(std::make_unique<NullPrinterDevice>());
    without_printers.Load(o.input);
  } catch (const std::exception& e) {
    return ReportBadFile(o.input, e);
  }
  const PrintingEnvironment environment;
  TQRPrinter printer;
  try {
    printer.Load(o.input);
  } catch (const std::exception& e) {
    return ReportBadFile(o.input, e);
  }
  if (!printer.PrinterOK()) {
    std::cerr << "qrptool print: no printer is installed\n";
    return kExitBadFile;
  }
  const auto printers = printer.PrinterDevice().Printers();
  try {
    if (o.printer) {
      const auto it = std::find(printers.begin(), printers.end(), *o.printer);
      if (it == printers.end()) {
        std::cerr << "qrptool print: no printer is named \"" << *o.printer << "\" ('qrptool printers' lists them)\n";
        return kExitBadFile;
      }
      printer.SetPrinterIndex(static_cast<int>(it - printers.begin()));
      // The chosen printer's papers decide the paper of the report.
      printer.Load(o.input);
    }
  } catch (const std::exception& e) {
    return ReportBadFile(o.input, e);
  }
  printer.SetTitle(o.input);
  if (o.copies) printer.SetCopies(*o.copies);
  printer.SetFirstPage(o.first);
  printer.SetLastPage(o.last);
  try {
    printer.Print();
  } catch (const std::exception& e) {
    std::cerr << "qrptool print: " << o.input << ": " << ErrorText(e) << '\n';
    return kExitBadFile;
  }
  const int index = printer.PrinterIndex();
  std::cout << o.input << ": sent to " << printers[static_cast<std::size_t>(index)] << '\n';
  return ReportStoppedPages("print", o.input, printer.StoppedPages());
}

#else

int Print(const Options& /*o*/) { return ReportNotInThisBuild("print"); }

#endif

}  // namespace

int RunPrint(Args args) { return RunWithOptions(kCommand, args, ReadOptions, Print); }

}  // namespace pravel::cli
