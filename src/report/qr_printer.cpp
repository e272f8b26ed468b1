#include "report/qr_printer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/gdi/player.h"
#include "platform/rounding.h"

namespace pravel {

namespace {

// Sets a flag when the scope ends, also by an exception.
class AssignOnExit {
 public:
  AssignOnExit(bool& target, bool value) : target_(target), value_(value) {}
  ~AssignOnExit() { target_ = value_; }
  AssignOnExit(const AssignOnExit&) = delete;
  AssignOnExit& operator=(const AssignOnExit&) = delete;

 private:
  bool& target_;
  bool value_;
};

constexpr long double kTenthMmPerInch = 254;

}  // namespace

TQRPrinter::TQRPrinter() : TQRPrinter(Platform::Current().NewPrinterDevice()) {}

TQRPrinter::TQRPrinter(std::unique_ptr<::pravel::PrinterDevice> device) : device_(std::move(device)) {
  if (!device_) device_ = Platform::Current().NewPrinterDevice();
  const auto printers = device_->Printers();
  printer_ok_ = !printers.empty();
  if (printer_ok_) {
    settings_.SetPrinter(device_.get());
    ProcessMessages();
    // Start on the printer the application has chosen, read afresh.
    const int chosen = Platform::Current().SharedPrinterDevice().PrinterIndex();
    if (chosen >= 0 && chosen < static_cast<int>(printers.size()) && chosen != device_->PrinterIndex()) {
      device_->SetPrinterIndex(chosen);
      settings_.ReadFromDevice();
    }
  }
  top_waste_ = settings_.TopOffset();
  left_waste_ = settings_.LeftOffset();
}

TQRPrinter::~TQRPrinter() {
  try {
    if (status_ != TQRPrinterStatus::Ready) Cleanup();
  } catch (...) {  // NOLINT(bugprone-empty-catch): nothing can be reported from here
  }
  close_control_.reset();
  if (preview_client_ != nullptr) {
    try {
      preview_client_->DetachPrinter(*this);
    } catch (...) {  // NOLINT(bugprone-empty-catch): as above
    }
  }
}

void TQRPrinter::Load(const std::string& path) {
  if (status_ != TQRPrinterStatus::Ready) Cleanup();
  page_list_.LoadFile(path);
  page_count_ = page_list_.PageCount();
  stopped_pages_.clear();
  SetScreenFactors();
  if (page_count_ > 0) {
    if (const std::optional<gdi::Metafile> first = page_list_.GetPage(1)) RecognisePaper(*first);
  }
  stream_ = page_list_.Stream();
  status_ = TQRPrinterStatus::Finished;
  OnPrintSetup = nullptr;
  OnExportToFilter = nullptr;
  if (const LoadedReportExporter& exporter = Platform::Current().ExportLoadedReport) {
    OnExportToFilter = [this, exporter](TQRExportFilter& filter) { exporter(*this, filter); };
  }
  loaded_from_file_ = true;
}

void TQRPrinter::RecognisePaper(const gdi::Metafile& page) {
  // The page size in units of 4 mm, against the table sizes in the same
  // units; every size is tried and a later match replaces an earlier one.
  const long double across = std::trunc(page.Width() / x_factor_ / 40);
  const long double down = std::trunc(page.Height() / x_factor_ / 40);
  for (std::size_t code = 1; code <= 26; ++code) {
    const PaperSizeInfo& paper = kPaperSizes[code];
    const long double width = std::trunc(paper.Width / 4);
    const long double length = std::trunc(paper.Length / 4);
    if (width == across && length == down) {
      settings_.SetPaperSize(paper.Size);
      settings_.SetOrientation(TPrinterOrientation::poPortrait);
    }
    if (width == down && length == across) {
      settings_.SetPaperSize(paper.Size);
      settings_.SetOrientation(TPrinterOrientation::poLandscape);
    }
  }
}

void TQRPrinter::Save(const std::string& path) {
  if (status_ == TQRPrinterStatus::Finished) page_list_.SaveFile(path);
}

std::optional<gdi::Metafile> TQRPrinter::GetPage(std::int32_t n) {
  if (status_ == TQRPrinterStatus::Ready || n < 1 || n > page_count_) return std::nullopt;
  return page_list_.GetPage(n);
}

void TQRPrinter::Cleanup() {
  if (status_ == TQRPrinterStatus::Busy) {
    Cancel();
    // The production is abandoned: its open page and its print job go too.
    canvas_.reset();
    printer_canvas_ = false;
    if (destination_ == TQRPrinterDestination::Printer && device_->Printing()) device_->Abort();
  }
  if (stream_) {
    stream_.reset();
    page_list_.SetStream(nullptr);
  }
  page_list_.Clear();
  status_ = TQRPrinterStatus::Ready;
}

void TQRPrinter::SetScreenFactors() noexcept {
  x_factor_ = gdi::kScreenPixelsPerInch / kTenthMmPerInch;
  y_factor_ = x_factor_;
}

void TQRPrinter::SetPrinterFactors() {
  x_factor_ = device_->GetDeviceCaps(DeviceCap::LOGPIXELSX) / kTenthMmPerInch;
  y_factor_ = device_->GetDeviceCaps(DeviceCap::LOGPIXELSY) / kTenthMmPerInch;
}

void TQRPrinter::BeginDoc() {
  canvas_.reset();
  printer_canvas_ = false;
  available_pages_ = 0;
  cancelled_ = false;
  const bool to_printer = destination_ == TQRPrinterDestination::Printer;
  if (to_printer) settings_.ApplyToDevice();
  top_waste_ = to_printer ? settings_.TopOffset() : 0;
  left_waste_ = to_printer ? settings_.LeftOffset() : 0;
  if (status_ != TQRPrinterStatus::Ready) throw EQRError("QRPrinter not ready");

  page_number_ = 0;
  page_count_ = 0;
  page_list_.Clear();
  status_ = TQRPrinterStatus::Busy;
  if (to_printer) {
    SetPrinterFactors();
  } else {
    stream_ = std::make_shared<TQRStream>(kProductionSpillLimit);
    page_list_.SetStream(stream_);
    SetScreenFactors();
  }
}

void TQRPrinter::NewPage() {
  if (status_ != TQRPrinterStatus::Busy) throw EQRError("Illegal call to NewPage");
  if (page_number_ > 0) {
    ClosePage(/*advance=*/true);
    SetAvailablePages(available_pages_ + 1);
  }
  ++page_count_;
  ++page_number_;
  OpenPage();
}

void TQRPrinter::EndDoc() {
  if (status_ != TQRPrinterStatus::Busy) return;
  const bool to_printer = destination_ == TQRPrinterDestination::Printer;
  // The last page's sheet is ended by the end of the document.
  if (page_count_ > 0) ClosePage(/*advance=*/false);
  if (to_printer && device_->Printing()) device_->EndDoc();
  status_ = TQRPrinterStatus::Finished;
  ProcessMessages();
  SetAvailablePages(available_pages_ + 1);
  if (!to_printer) {
    page_list_.Finish();
  } else if (OnAfterPrint) {
    OnAfterPrint(*this);
  }
}

void TQRPrinter::Abort() {
  if (status_ != TQRPrinterStatus::Busy) return;
  if (destination_ == TQRPrinterDestination::Printer) {
    // What was spooled is discarded; there may be no job yet.
    canvas_.reset();
    printer_canvas_ = false;
    if (device_->Printing()) device_->Abort();
  } else if (canvas_) {
    ClosePage(/*advance=*/false);
  }
  status_ = TQRPrinterStatus::Finished;
  // The header carries the pages produced so far.
  if (destination_ == TQRPrinterDestination::Metafile && page_list_.Stream()) page_list_.Finish();
}

bool TQRPrinter::PageInRange() const noexcept {
  return !((first_page_ > 0 && page_count_ < first_page_) || (last_page_ > 0 && page_count_ > last_page_));
}

void TQRPrinter::OpenPage() {
  if (destination_ == TQRPrinterDestination::Printer && PageInRange()) {
    OpenPrinterCanvas();
  } else {
    OpenMetafileCanvas();
  }
}

void TQRPrinter::ClosePage(bool advance) {
  if (!canvas_) return;
  if (printer_canvas_) {
    ClosePrinterCanvas(advance);
    return;
  }
  const gdi::Metafile page = CloseMetafileCanvas();
  // A page produced for the printer outside the range is thrown away.
  if (destination_ == TQRPrinterDestination::Metafile) page_list_.AddPage(page);
}

void TQRPrinter::OpenMetafileCanvas() {
  const std::int32_t width = std::max(1, XSize(PaperWidth()));
  const std::int32_t height = std::max(1, YSize(PaperLength()));
  canvas_ = std::make_unique<gdi::EmfRecorder>(width, height);
  printer_canvas_ = false;
  SetScreenFactors();
}

gdi::Metafile TQRPrinter::CloseMetafileCanvas() {
  const std::unique_ptr<gdi::EmfRecorder> recorder = std::move(canvas_);
  return recorder->Finish();
}

void TQRPrinter::OpenPrinterCanvas() {
  if (!device_->Printing()) {
    device_->SetTitle(title_);
    device_->BeginDoc();
  }
  // Otherwise the previous page's close already started this sheet.
  const int width = std::max(1, device_->GetDeviceCaps(DeviceCap::HORZRES));
  const int height = std::max(1, device_->GetDeviceCaps(DeviceCap::VERTRES));
  canvas_ = std::make_unique<gdi::EmfRecorder>(width, height);
  printer_canvas_ = true;
  SetPrinterFactors();
}

void TQRPrinter::ClosePrinterCanvas(bool advance) {
  const gdi::Metafile page = CloseMetafileCanvas();
  printer_canvas_ = false;
  if (!device_->Printing()) return;
  PlayOnSheet(page, page_count_);
  if (advance && page_count_ != last_page_) device_->NewPage();
}

void TQRPrinter::NoteStoppedPage(std::int32_t n) {
  if (std::find(stopped_pages_.begin(), stopped_pages_.end(), n) == stopped_pages_.end()) stopped_pages_.push_back(n);
}

void TQRPrinter::PlayOnSheet(const gdi::Metafile& page, std::int32_t n) {
  gdi::Surface* surface = device_->PageSurface();
  if (surface == nullptr) return;
  const gdi::RectD printable{0, 0, static_cast<double>(device_->GetDeviceCaps(DeviceCap::HORZRES)),
                             static_cast<double>(device_->GetDeviceCaps(DeviceCap::VERTRES))};
  // Print jobs are spooled as vector pages.
  const double dpi = device_->GetDeviceCaps(DeviceCap::LOGPIXELSY);
  if (gdi::PlayMetafile(page, *surface, printable, gdi::VectorTargetBudget(dpi)).exhausted) NoteStoppedPage(n);
}

void TQRPrinter::Print() {
  if (master_ != nullptr && !loaded_from_file_) {
    // The report makes its pages again, straight onto the printer.
    master_->Post({QRM_PRINT, 0, 0});
    return;
  }
  if (status_ != TQRPrinterStatus::Finished || !printer_ok_) return;
  device_->SetTitle(title_);
  if (device_->Printing()) device_->Abort();
  settings_.ApplyToDevice();
  device_->BeginDoc();
  try {
    // Taken literally: pages beyond PageCount give blank sheets.
    const std::int64_t last = last_page_ != 0 ? last_page_ : page_count_;
    const std::int64_t first = first_page_ != 0 ? first_page_ : 1;
    // A cancel left over from an earlier production must not stop this run.
    cancelled_ = false;
    for (std::int64_t i = first; i <= last; ++i) {
      ProcessMessages();
      if (const std::optional<gdi::Metafile> page = GetPage(static_cast<std::int32_t>(i)))
        PlayOnSheet(*page, static_cast<std::int32_t>(i));
      if (i < last) device_->NewPage();
      if (cancelled_) {
        device_->Abort();
        break;
      }
    }
  } catch (...) {
    if (device_->Printing()) {
      try {
        device_->EndDoc();
      } catch (...) {  // NOLINT(bugprone-empty-catch): the first error is the one reported
      }
    }
    throw;
  }
  if (device_->Printing()) device_->EndDoc();
}

std::int32_t TQRPrinter::XPos(long double x) const noexcept { return RoundHalfEven((x - left_waste_) * x_factor_); }

std::int32_t TQRPrinter::YPos(long double y) const noexcept { return RoundHalfEven((y - top_waste_) * y_factor_); }

std::int32_t TQRPrinter::XSize(long double w) const noexcept { return RoundHalfEven(w * x_factor_); }

std::int32_t TQRPrinter::YSize(long double h) const noexcept { return RoundHalfEven(h * y_factor_); }

std::int32_t TQRPrinter::PaperWidth() const noexcept {
  return settings_.Orientation() == TPrinterOrientation::poLandscape ? settings_.PaperLength() : settings_.PaperWidth();
}

std::int32_t TQRPrinter::PaperLength() const noexcept {
  return settings_.Orientation() == TPrinterOrientation::poLandscape ? settings_.PaperWidth() : settings_.PaperLength();
}

void TQRPrinter::PostToClient(std::uint32_t message, std::int32_t value) {
  if (client_ != nullptr) client_->Post({message, value, 0});
}

void TQRPrinter::SetAvailablePages(std::int32_t pages) {
  available_pages_ = pages;
  PostToClient(QRM_PAGEAVAILABLE, pages);
}

void TQRPrinter::SetProgress(std::int32_t progress) {
  progress_ = progress;
  PostToClient(QRM_PROGRESS, progress);
}

void TQRPrinter::SetShowingPreview(bool showing) {
  const AssignOnExit assign(showing_preview_, showing);
  if (showing_preview_ && !showing) {
    if (status_ == TQRPrinterStatus::Busy) Cancel();
    if (OnAfterPreview) OnAfterPreview(*this);
  }
}

void TQRPrinter::ClosePreview(void* /*control*/) {
  if (master_ != nullptr) master_->Send({QRM_CLOSEPREVIEW, 0, reinterpret_cast<std::intptr_t>(this)});
}

void TQRPrinter::Preview() {
  if (OnPreview) {
    OnPreview(*this);
    return;
  }
  if (const PreviewInterfaceClass& make = Platform::Current().PreviewClass) {
    if (const std::unique_ptr<TQRPreviewInterface> preview = make()) preview_control_ = preview->Show(*this);
  }
}

void TQRPrinter::PreviewModal() {
  if (OnPreview) {
    OnPreview(*this);
    return;
  }
  if (const PreviewInterfaceClass& make = Platform::Current().PreviewClass) {
    if (const std::unique_ptr<TQRPreviewInterface> preview = make()) preview->ShowModal(*this);
  }
}

void TQRPrinter::PrintSetup(void* argument) {
  if (OnPrintSetup) OnPrintSetup(argument);
}

void TQRPrinter::ExportToFilter(TQRExportFilter& filter) {
  if (OnExportToFilter) OnExportToFilter(filter);
}

int TQRPrinter::PrinterIndex() const { return device_->PrinterIndex(); }

void TQRPrinter::SetPrinterIndex(int index) {
  if (!printer_ok_) return;
  device_->SetPrinterIndex(index);
  device_->ResetDeviceMode();
  settings_.ReadFromDevice();
}

}  // namespace pravel
