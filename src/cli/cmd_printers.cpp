#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/options.h"

#ifdef PRAVEL_HAVE_QT
#include "cli/gui_application.h"
#include "platform/qt/qt_printer_device.h"
#endif

namespace pravel::cli {

namespace {

constexpr std::string_view kUsage =
    "usage: qrptool printers\n"
    "Lists the installed printers, one a line. '*' marks the default,\n"
    "the first printer when the system names none.\n";

constexpr CommandSpec kCommand{"printers", kUsage, {}};

}  // namespace

int RunPrinters(Args args) {
  const auto parsed = ParseCommand(kCommand, args, [](const CommandLine& line) {
    return line.positional.empty() ? std::nullopt : std::optional<std::string>("printers takes no arguments");
  });
  if (parsed.status) return *parsed.status;
#ifdef PRAVEL_HAVE_QT
  const GuiApplicationScope app;
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
