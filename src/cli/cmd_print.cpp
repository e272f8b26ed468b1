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

#ifdef PRAVEL_HAVE_QT
#include <QGuiApplication>

#include "platform/errors.h"
#include "platform/messages.h"
#include "platform/printer_device.h"
#include "platform/null_printer_device.h"
#include "platform/platform.h"
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

// A decimal number from `least` to `most`.
std::optional<int> ParseNumber(const std::string* text, int least, int most) {
  if (text == nullptr || text->empty() || text->size() > 10) return std::nullopt;
  char* end = nullptr;
  const long long value = std::strtoll(text->c_str(), &end, 10);
  if (*end != '\0' || value < least || value > most) return std::nullopt;
  return static_cast<int>(value);
}

std::optional<std::string> ParseArgs(Args args, Options& o) {
  constexpr int kMostCopies = std::numeric_limits<std::int16_t>::max();
  constexpr int kMostPages = std::numeric_limits<std::int32_t>::max();
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string& a = args[k];
    const std::string* value = k + 1 < args.size() ? &args[k + 1] : nullptr;
    if (a == "--printer") {
      if (value == nullptr) return "--printer needs a printer name";
      o.printer = *value;
      ++k;
    } else if (a == "--copies") {
      o.copies = ParseNumber(value, 1, kMostCopies);
      if (!o.copies) return "--copies needs a number of copies from 1 to 32767";
      ++k;
    } else if (a == "--first" || a == "--last") {
      const auto page = ParseNumber(value, 0, kMostPages);
      if (!page) return a + " needs a page number (0 for an open end)";
      (a == "--first" ? o.first : o.last) = *page;
      ++k;
    } else if (a.size() > 1 && a[0] == '-') {
      return "unknown option " + a;
    } else if (o.input.empty()) {
      o.input = a;
    } else {
      return "more than one report";
    }
  }
  if (o.input.empty()) return "no report to print";
  return std::nullopt;
}

#ifdef PRAVEL_HAVE_QT

// The Qt application that the Platform's printer devices and message pump
// need, for one command.
class PrintingEnvironment {
 public:
  PrintingEnvironment() {
    PrepareGuiEnvironment();
    static int argc = 1;
    static char name[] = "qrptool";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) app_.emplace(argc, argv);
    qt::LoadLookAlikeFonts();
  }
  ~PrintingEnvironment() { Platform::Current().SetSharedPrinterDevice(nullptr); }
  PrintingEnvironment(const PrintingEnvironment&) = delete;
  PrintingEnvironment& operator=(const PrintingEnvironment&) = delete;

 private:
  std::optional<QGuiApplication> app_;
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
  return kExitOk;
}

#endif

}  // namespace

int RunPrint(Args args) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << kUsage;
    return kExitOk;
  }
  Options o;
  if (const auto problem = ParseArgs(args, o)) return ReportUsage(kUsage, *problem);
#ifdef PRAVEL_HAVE_QT
  return Print(o);
#else
  std::cerr << "qrptool print: not available in this build\n";
  return kExitUsage;
#endif
}

}  // namespace pravel::cli
