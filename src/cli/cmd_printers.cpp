#include <iostream>
#include <memory>

#include "cli/commands.h"

#ifdef PRAVEL_HAVE_QT
#include <QCoreApplication>

#include "platform/qt/qt_printer_device.h"
#endif

namespace pravel::cli {

int RunPrinters(Args args) {
  if (!args.empty()) {
    const bool help = args[0] == "--help" || args[0] == "-h";
    (help ? std::cout : std::cerr) << "usage: qrptool printers\n"
                                      "Lists the installed printers, one a line. '*' marks the default,\n"
                                      "the first printer when the system names none.\n";
    return help ? kExitOk : kExitUsage;
  }
#ifdef PRAVEL_HAVE_QT
  std::unique_ptr<QCoreApplication> app;
  if (QCoreApplication::instance() == nullptr) {
    static int argc = 1;
    static char name[] = "qrptool";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QCoreApplication>(argc, argv);
  }
  const qt::QtPrinterDevice device;
  const auto printers = device.Printers();
  if (printers.empty()) {
    std::cout << "No printer is installed.\n";
    return kExitOk;
  }
  const auto default_index = static_cast<std::size_t>(device.DefaultPrinterIndex());
  for (std::size_t i = 0; i < printers.size(); ++i) {
    std::cout << (i == default_index ? "* " : "  ") << printers[i] << '\n';
  }
  return kExitOk;
#else
  std::cerr << "qrptool printers: not available in this build\n";
  return kExitUsage;
#endif
}

}  // namespace pravel::cli
