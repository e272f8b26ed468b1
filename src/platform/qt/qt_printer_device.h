#pragma once
// The printer device over QPrinter: every CUPS queue is a printer. A job is
// written to a spool file and handed to CUPS when it ends, so that an
// aborted job prints nothing.

#include <QPrinter>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "platform/printer_device.h"

class QPainter;
class QTemporaryFile;

namespace pravel::qt {

class PainterSurface;

// The device mode that `printer`'s settings amount to. `duplex_capable`
// says whether the printer can print on both sides (DM_DUPLEX).
DeviceMode DeviceModeOf(const QPrinter& printer, bool duplex_capable);
// Sets on `printer` what the fields of `mode` name that it can take; codes
// it does not know leave its setting as it was.
void ApplyDeviceMode(const DeviceMode& mode, QPrinter& printer);

// DMBIN code of a paper source, and back.
std::int16_t BinCodeOf(QPrinter::PaperSource source);
std::optional<QPrinter::PaperSource> PaperSourceOf(int bin_code);

class QtPrinterDevice final : public PrinterDevice {
 public:
  // The CUPS queues known when it is made.
  QtPrinterDevice();
  // One printer, "PDF", whose jobs go to the file `pdf_file`.
  static std::unique_ptr<QtPrinterDevice> ForPdfFile(const QString& pdf_file);
  ~QtPrinterDevice() override;

  std::vector<std::string> Printers() const override;
  int DefaultPrinterIndex() const override;
  int PrinterIndex() const override;
  void SetPrinterIndex(int index) override;
  SelectedPrinter GetPrinter() override;
  void SetPrinter(const std::string& device, const std::string& driver, const std::string& port,
                  const std::optional<DeviceMode>& mode) override;
  std::vector<std::int16_t> DeviceCapabilities(const std::string& device, const std::string& port,
                                               DeviceCapability capability,
                                               const std::optional<DeviceMode>& mode) const override;
  int GetDeviceCaps(DeviceCap index) override;
  bool Printing() const override { return painter_ != nullptr; }
  void BeginDoc() override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;
  // A PainterSurface over Painter(), made for each sheet.
  gdi::Surface* PageSurface() override;

  // The painter on the running job's current sheet, in device pixels with
  // the origin at the printable area's corner; null without a job. The
  // drawing surface of the printer is built on it.
  QPainter* Painter() noexcept { return painter_.get(); }
  // The selected printer's QPrinter, configured from the device mode; null
  // with no printer. For the print dialog.
  QPrinter* SelectedQPrinter();

 private:
  explicit QtPrinterDevice(QString pdf_file);
  int Resolve(int index) const;
  // Makes the selected printer's QPrinter with its driver's defaults.
  void MakePrinter(int index);
  QPrinter* EnsurePrinter();
  void Select(int index);
  void CheckPrinting(bool printing) const;
  std::string PrinterName() const;
  // Points the printer's output at `path`; empty restores its usual output.
  void SetOutputFile(QPrinter& printer, const QString& path) noexcept;
  // Ends a running job without handing it on.
  void DiscardJob() noexcept;
  // Sends the finished spool file to its destination.
  void Deliver(const QString& spool_file);

  QString pdf_file_;  // empty: the CUPS queues
  std::vector<QString> names_;
  int default_index_ = -1;
  int selected_ = -1;       // -1: the default
  int printer_index_ = -1;  // whose QPrinter printer_ is
  std::unique_ptr<QPrinter> printer_;
  std::optional<DeviceMode> mode_;
  std::unique_ptr<QTemporaryFile> spool_;  // the running job's output
  std::unique_ptr<QPainter> painter_;
  std::unique_ptr<PainterSurface> surface_;  // on painter_, for the current sheet
};

}  // namespace pravel::qt
