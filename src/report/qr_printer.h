#pragma once
// TQRPrinter owns one prepared report: its pages, title and state, and the
// printer device and settings it is printed with. A report gets into it by
// production (BeginDoc, NewPage for every page, EndDoc) or by Load; its pages
// are then read with GetPage, printed, saved or exported.
//
// Report geometry is in 0.1 mm; XPos, YPos, XSize and YSize convert it to the
// pixels of the current output (the screen while pages are recorded, the
// printer's device while they go straight to it).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/gdi/emf_recorder.h"
#include "platform/gdi/metafile.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/printer_device.h"
#include "printing/paper.h"
#include "printing/printer_settings.h"
#include "report/preview_interface.h"
#include "report/qr_page_list.h"
#include "report/qr_stream.h"

namespace pravel {

class TQRExportFilter;

// The report printer's own errors ("QRPrinter not ready", ...).
class EQRError : public EPlatformError {
 public:
  using EPlatformError::EPlatformError;
};

enum class TQRPrinterStatus : std::uint8_t { Ready, Busy, Finished };
enum class TQRPrinterDestination : std::uint8_t { Metafile, Printer };

// Spill limit of the stream of a report being produced.
inline constexpr std::int32_t kProductionSpillLimit = 100000;

class TQRPrinter {
 public:
  using PrinterHook = std::function<void(TQRPrinter& sender)>;
  using PrintSetupHook = std::function<void(void* argument)>;
  using ExportHook = std::function<void(TQRExportFilter& filter)>;

  // With a printer device from the current Platform.
  TQRPrinter();
  // With the given printer device (owned).
  explicit TQRPrinter(std::unique_ptr<::pravel::PrinterDevice> device);
  ~TQRPrinter();
  TQRPrinter(const TQRPrinter&) = delete;
  TQRPrinter& operator=(const TQRPrinter&) = delete;

  // Replaces the report with the .qrp file at `path` and recognises its
  // paper from page 1. Errors propagate; the object is then Ready.
  void Load(const std::string& path);
  // Writes the report as a .qrp file; only when Finished, else nothing.
  void Save(const std::string& path);
  // Page n (1..PageCount) while Busy or Finished; none otherwise, and for
  // the page still being produced.
  std::optional<gdi::Metafile> GetPage(std::int32_t n);
  // Drops the pages (cancelling a production) and returns to Ready.
  void Cleanup();

  // Page production: BeginDoc, then NewPage before each page's drawing on
  // Canvas, then EndDoc, or Abort when cancelled.
  void BeginDoc();
  void NewPage();
  void EndDoc();
  void Abort();
  void Cancel() noexcept { cancelled_ = true; }
  // The recording canvas of the page under construction, or null. Its
  // logical units are pixels of the current output.
  gdi::EmfRecorder* Canvas() noexcept { return canvas_.get(); }
  // The page being opened or closed is within FirstPage..LastPage.
  bool PageInRange() const noexcept;

  // Prints the finished pages of the range, one page stretched over the
  // printable area of each sheet.
  void Print();

  // Page geometry: 0.1 mm to pixels of the current output, halves to even.
  std::int32_t XPos(long double x) const noexcept;
  std::int32_t YPos(long double y) const noexcept;
  std::int32_t XSize(long double w) const noexcept;
  std::int32_t YSize(long double h) const noexcept;
  // The paper extent in 0.1 mm across and down the page, in the current
  // orientation.
  std::int32_t PaperWidth() const noexcept;
  std::int32_t PaperLength() const noexcept;

  // Notifications to Client.
  void SetAvailablePages(std::int32_t pages);
  void SetProgress(std::int32_t progress);
  void SetShowingPreview(bool showing);
  // Asks Master to close the preview; `control` is not used.
  void ClosePreview(void* control = nullptr);

  void Preview();
  void PreviewModal();
  void PrintSetup(void* argument = nullptr);
  void ExportToFilter(TQRExportFilter& filter);

  // Printer choice and settings, passed on to PrinterSettings.
  int PrinterIndex() const;
  // -1: the system default. Only with printers installed.
  void SetPrinterIndex(int index);
  std::int32_t Copies() const noexcept { return settings_.Copies(); }
  void SetCopies(std::int32_t copies) { settings_.SetCopies(copies); }
  TPrinterOrientation Orientation() const noexcept { return settings_.Orientation(); }
  void SetOrientation(TPrinterOrientation orientation) { settings_.SetOrientation(orientation); }
  TQRBin OutputBin() const noexcept { return settings_.OutputBin(); }
  void SetOutputBin(TQRBin bin) { settings_.SetOutputBin(bin); }
  TQRPaperSize PaperSize() const noexcept { return settings_.PaperSize(); }
  void SetPaperSize(TQRPaperSize size) { settings_.SetPaperSize(size); }
  // The custom paper extent, 0.1 mm; taken while PaperSize is Custom.
  void SetCustomPaperWidth(std::int32_t width) { settings_.SetPaperWidth(width); }
  void SetCustomPaperLength(std::int32_t length) { settings_.SetPaperLength(length); }

  ::pravel::PrinterDevice& PrinterDevice() noexcept { return *device_; }
  TPrinterSettings& PrinterSettings() noexcept { return settings_; }
  const TPrinterSettings& PrinterSettings() const noexcept { return settings_; }
  TQRPageList& PageList() noexcept { return page_list_; }
  const std::shared_ptr<TQRStream>& Stream() const noexcept { return stream_; }
  void SetCompression(bool compression) noexcept { page_list_.SetCompression(compression); }

  TQRPrinterStatus Status() const noexcept { return status_; }
  TQRPrinterDestination Destination() const noexcept { return destination_; }
  void SetDestination(TQRPrinterDestination destination) noexcept { destination_ = destination; }
  bool PrinterOK() const noexcept { return printer_ok_; }
  bool LoadedFromFile() const noexcept { return loaded_from_file_; }
  bool Cancelled() const noexcept { return cancelled_; }
  bool ShowingPreview() const noexcept { return showing_preview_; }

  std::int32_t PageCount() const noexcept { return page_count_; }
  // Pages whose drawing (printing, export) stopped on the work budget, in
  // the order met; each once.
  const std::vector<std::int32_t>& StoppedPages() const noexcept { return stopped_pages_; }
  void NoteStoppedPage(std::int32_t n);
  std::int32_t PageNumber() const noexcept { return page_number_; }
  std::int32_t AvailablePages() const noexcept { return available_pages_; }
  std::int32_t Progress() const noexcept { return progress_; }
  // 0: from the first page.
  std::int32_t FirstPage() const noexcept { return first_page_; }
  void SetFirstPage(std::int32_t page) noexcept { first_page_ = page; }
  // 0: to the last page.
  std::int32_t LastPage() const noexcept { return last_page_; }
  void SetLastPage(std::int32_t page) noexcept { last_page_ = page; }
  // Unprintable offsets in 0.1 mm, subtracted by XPos and YPos.
  std::int32_t LeftWaste() const noexcept { return left_waste_; }
  std::int32_t TopWaste() const noexcept { return top_waste_; }
  // Device pixels per 0.1 mm of the current output.
  long double XFactor() const noexcept { return x_factor_; }
  long double YFactor() const noexcept { return y_factor_; }

  const std::string& Title() const noexcept { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

  // The windows told about this printer (not owned; each stays alive while
  // it is set).
  MessageTarget* Client() const noexcept { return client_; }
  void SetClient(MessageTarget* client) noexcept {
    client_ = client;
    preview_client_ = nullptr;
  }
  // Makes a preview control the Client; it is detached when this printer
  // goes, unless another Client was set since.
  void SetPreviewClient(TQRPreviewClient* preview) noexcept {
    client_ = preview;
    preview_client_ = preview;
  }
  // The Client when it is a preview control; null otherwise.
  TQRPreviewClient* PreviewClient() const noexcept { return preview_client_; }
  MessageTarget* Master() const noexcept { return master_; }
  void SetMaster(MessageTarget* master) noexcept { master_ = master; }
  // The window the standard preview's Show returned.
  PreviewWindow PreviewControl() const noexcept { return preview_control_; }
  // An object that lives as long as this printer.
  void SetCloseControl(std::shared_ptr<void> control) noexcept { close_control_ = std::move(control); }

  // Hooks, each called only when set.
  PrinterHook OnPreview;
  PrinterHook OnAfterPrint;
  PrinterHook OnAfterPreview;
  PrintSetupHook OnPrintSetup;
  ExportHook OnExportToFilter;

 private:
  void RecognisePaper(const gdi::Metafile& page);
  void SetScreenFactors() noexcept;
  void SetPrinterFactors();
  // Closes the open page into the page list, onto the device's sheet or
  // away; `advance` lets a printed page move the device to a new sheet.
  void ClosePage(bool advance);
  void OpenPage();
  void OpenMetafileCanvas();
  gdi::Metafile CloseMetafileCanvas();
  void OpenPrinterCanvas();
  // Plays the open printer page onto the device's sheet; `advance` moves on
  // to a new sheet unless it was the range's last.
  void ClosePrinterCanvas(bool advance);
  // Draws `page` over the printable area of the device's current sheet.
  void PlayOnSheet(const gdi::Metafile& page, std::int32_t n);
  void PostToClient(std::uint32_t message, std::int32_t value);

  std::unique_ptr<::pravel::PrinterDevice> device_;
  TPrinterSettings settings_;
  TQRPageList page_list_;
  std::shared_ptr<TQRStream> stream_;  // the page list's, once it is this object's to drop
  std::unique_ptr<gdi::EmfRecorder> canvas_;
  bool printer_canvas_ = false;  // canvas_ goes to the device when closed
  std::shared_ptr<void> close_control_;

  TQRPrinterStatus status_ = TQRPrinterStatus::Ready;
  TQRPrinterDestination destination_ = TQRPrinterDestination::Metafile;
  bool printer_ok_ = false;
  bool loaded_from_file_ = false;
  bool cancelled_ = false;
  bool showing_preview_ = false;
  std::int32_t page_count_ = 0;
  std::vector<std::int32_t> stopped_pages_;
  std::int32_t page_number_ = 0;
  std::int32_t available_pages_ = 0;
  std::int32_t progress_ = 0;
  std::int32_t first_page_ = 0;
  std::int32_t last_page_ = 0;
  std::int32_t left_waste_ = 0;
  std::int32_t top_waste_ = 0;
  long double x_factor_ = 1.0L;
  long double y_factor_ = 1.0L;
  std::string title_;
  MessageTarget* client_ = nullptr;
  TQRPreviewClient* preview_client_ = nullptr;  // client_, when it is one
  MessageTarget* master_ = nullptr;
  PreviewWindow preview_control_ = nullptr;
};

}  // namespace pravel
