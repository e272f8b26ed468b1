#pragma once
// TQRReport: the report component. It lays out a page setup and the labels
// and pictures placed on it into pages of a report printer: for a preview,
// straight onto a printer (the answer to QRM_PRINT) or as text for an
// export run. It is the Master of the printers it makes.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/export_sink.h"
#include "engine/report_items.h"
#include "engine/text_measure.h"
#include "platform/font.h"
#include "platform/messages.h"
#include "printing/qr_printer_settings.h"
#include "report/qr_printer.h"

namespace pravel {

class TQRExportFilter;

class TQRReport : public MessageTarget {
 public:
  // The progress window of a print or export run on `printer`: it becomes the
  // printer's Client, is shown when `show` is set, and closes when the held
  // object is released (before the printer goes).
  using ProgressWindowFactory = std::function<std::shared_ptr<void>(TQRPrinter& printer, bool show)>;
  // Handles the window messages that are waiting, waiting for one if there
  // is none; false once the program is ending.
  using MessageWait = std::function<bool()>;
  // Runs an export through a filter of the export layer.
  using FilterExport = std::function<void(TQRReport& report, TQRExportFilter& filter)>;

  TQRReport();
  ~TQRReport() override;
  TQRReport(const TQRReport&) = delete;
  TQRReport& operator=(const TQRReport&) = delete;

  TQRPage& Page() noexcept { return page_; }
  const TQRPage& Page() const noexcept { return page_; }
  const ::pravel::Font& Font() const noexcept { return font_; }
  void SetFont(const ::pravel::Font& font) { font_ = font; }
  TQRReportPrinterSettings& PrinterSettings() noexcept { return printer_settings_; }
  const TQRReportPrinterSettings& PrinterSettings() const noexcept { return printer_settings_; }
  std::int32_t Tag() const noexcept { return tag_; }
  void SetTag(std::int32_t tag) noexcept { tag_ = tag; }
  bool ShowProgress() const noexcept { return show_progress_; }
  void SetShowProgress(bool show) noexcept { show_progress_ = show; }
  const std::string& ReportTitle() const noexcept { return report_title_; }
  void SetReportTitle(std::string title) { report_title_ = std::move(title); }
  // Printed on every page, in this order.
  std::vector<TQRPrintable>& Items() noexcept { return items_; }
  const std::vector<TQRPrintable>& Items() const noexcept { return items_; }

  // The printer the report last produced into for a preview, or null.
  TQRPrinter* QRPrinter() const noexcept { return printer_.get(); }
  // An export run is going on.
  bool Exporting() const noexcept { return export_sink_ != nullptr; }

  // Generates the report into a fresh printer and has it previewed, then
  // handles messages until no preview shows that printer any more, the
  // preview is closed (QRM_CLOSEPREVIEW) or the program is ending.
  void Preview();
  // Produces the report straight onto the printer of its settings.
  void Print();
  // Generates the report once for `sink`, which receives its text only.
  void RunExport(TQRExportSink& sink);
  // Runs the print dialog from the report's settings and stores the user's
  // choices in them; Tag becomes 0 when accepted, 1 when cancelled, and is
  // left as it was by an error. The dialog offers the pages of `shown`, a
  // report printer showing a loaded report, and starts from its
  // orientation; by default those of the printer last produced into.
  void PrinterSetup(const TQRPrinter* shown = nullptr);

  // The window that receives this report's messages and hands them back to
  // WndProc; without one, messages are handled at once.
  void SetWindow(MessageTarget* window) noexcept { window_ = window; }
  void Post(const Message& message) override;
  void Send(const Message& message) override;
  // QRM_PRINT prints; QRM_CLOSEPREVIEW (lParam the printer) ends the
  // waiting of Preview when that printer is the one previewed.
  void WndProc(const Message& message);

  TQRPrinter::PrinterHook OnPreview;

  // What the program supplies; ApproximateMeasure() and none by default.
  TextMeasure Measure;
  ProgressWindowFactory ProgressWindow;
  MessageWait WaitMessages;
  FilterExport ExportThroughFilter;

 private:
  // Paper and orientation of the page setup, then (`all`) the printer
  // choice, copies, bin and range.
  void CarrySettings(TQRPrinter& printer, bool all) const;
  void Generate(TQRPrinter& printer);
  void DrawPage(TQRPrinter& printer);
  void ExportPage();

  TQRPage page_;
  ::pravel::Font font_;
  TQRReportPrinterSettings printer_settings_;
  std::int32_t tag_ = 0;
  bool show_progress_ = true;
  std::string report_title_;
  std::vector<TQRPrintable> items_;

  std::unique_ptr<TQRPrinter> printer_;
  MessageTarget* window_ = nullptr;
  TQRExportSink* export_sink_ = nullptr;
  std::uint64_t preview_run_ = 0;  // changes to end the waiting Preview
};

}  // namespace pravel
