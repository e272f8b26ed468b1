#pragma once
// The services a program gives the report objects: printers, the print
// dialog, the message pump, the preview window, the export of loaded
// reports, the filter library, the browser and the error display. A program
// makes one Platform in main() and fills in what it has; a test makes one
// in its fixture. A service left empty is a null service: it raises a clear
// error, or does nothing where nothing is the right answer (the pump).

#include <functional>
#include <memory>
#include <string>

#include "platform/print_dialog.h"
#include "platform/printer_device.h"

namespace pravel {

class TQRExportFilter;
class TQRExportFilterLibrary;
class TQRPreviewInterface;
class TQRPrinter;

using PrinterDeviceFactory = std::function<std::unique_ptr<PrinterDevice>()>;
// Makes the preview interface that TQRPrinter::Preview and PreviewModal use.
using PreviewInterfaceClass = std::function<std::unique_ptr<TQRPreviewInterface>()>;
// Exports a loaded report through a filter; TQRPrinter::Load installs it as
// the report's export hook.
using LoadedReportExporter = std::function<void(TQRPrinter&, TQRExportFilter&)>;

// Error texts of the null services.
inline constexpr const char* kNoPrinting = "This program does not print";
inline constexpr const char* kNoPrintDialog = "This program has no print dialog";
inline constexpr const char* kNoBrowser = "This program cannot open web pages";

class Platform {
 public:
  // Becomes the current platform until it is destroyed; the one current
  // before it is current again afterwards. Platforms end in the reverse
  // order of their making.
  Platform();
  ~Platform();
  Platform(const Platform&) = delete;
  Platform& operator=(const Platform&) = delete;

  // The platform made last and still alive; a platform of null services
  // when there is none (the report core alone, fuzzers, benchmarks).
  static Platform& Current();

  PrinterDeviceFactory PrinterDevices;
  PrintDialogFunction PrintDialog;
  std::function<void()> MessagePump;
  PreviewInterfaceClass PreviewClass;
  LoadedReportExporter ExportLoadedReport;
  std::function<void(const std::string& url)> OpenUrl;
  // Shows the message of an error that no command caught; empty: written to
  // standard error.
  std::function<void(const std::string& message)> ShowError;
  // The filter library that save dialogs list (ExportFilterLibrary), made
  // by the export layer on first use.
  std::shared_ptr<TQRExportFilterLibrary> FilterLibrary;

  // A new device from PrinterDevices; without it, a device with no printers
  // whose print jobs raise "This program does not print".
  std::unique_ptr<PrinterDevice> NewPrinterDevice() const;
  // The program-wide printer that the print-setup routine edits, made by
  // NewPrinterDevice on first use unless one was set.
  PrinterDevice& SharedPrinterDevice();
  void SetSharedPrinterDevice(std::unique_ptr<PrinterDevice> device);
  // Runs PrintDialog; raises "This program has no print dialog" without it.
  bool RunPrintDialog(PrintDlgRequest& request) const;
  // Runs OpenUrl; raises "This program cannot open web pages" without it.
  void OpenWebPage(const std::string& url) const;

 private:
  struct NullServices {};
  explicit Platform(NullServices) noexcept;

  Platform* previous_ = nullptr;
  bool installed_ = false;
  std::unique_ptr<PrinterDevice> shared_printer_;
};

}  // namespace pravel
