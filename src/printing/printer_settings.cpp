#include "printing/printer_settings.h"

#include <algorithm>
#include <limits>

#include "platform/messages.h"
#include "platform/rounding.h"

namespace pravel {

namespace {

std::int16_t ClampToInt16(std::int32_t value) noexcept {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(value, std::numeric_limits<std::int16_t>::min(),
                                                            std::numeric_limits<std::int16_t>::max()));
}

// pixels / pixels-per-inch in 0.1 mm, rounded halves to even.
std::int32_t PixelsToTenthMm(int pixels, std::int32_t per_inch) noexcept {
  if (per_inch <= 0) return 0;
  return RoundHalfEven(static_cast<long double>(pixels) / per_inch * 254);
}

std::int32_t TableTenthMm(long double mm) noexcept { return RoundHalfEven(mm * 10); }

bool HasTableSize(TQRPaperSize size) noexcept {
  return size != TQRPaperSize::Default && size != TQRPaperSize::Custom &&
         static_cast<std::size_t>(size) < kPaperSizeCount;
}

}  // namespace

void TPrinterSettings::SetPrinter(PrinterDevice* printer) {
  printer_ = printer;
  if (printer_ != nullptr && !printer_->Printers().empty()) ReadFromDevice();
}

SelectedPrinter TPrinterSettings::FetchPrinter() {
  SelectedPrinter selected = printer_->GetPrinter();
  if (!selected.Mode) selected = printer_->GetPrinter();
  device_ = selected.Device;
  driver_ = selected.Driver;
  port_ = selected.Port;
  device_mode_ = selected.Mode;
  return selected;
}

void TPrinterSettings::ReadFromDevice() {
  if (printer_ == nullptr) return;
  ProcessMessages();
  FetchPrinter();

  pixels_per_x_ = printer_->GetDeviceCaps(DeviceCap::LOGPIXELSX);
  pixels_per_y_ = printer_->GetDeviceCaps(DeviceCap::LOGPIXELSY);

  copies_ = DeviceSupports(DM_COPIES) ? device_mode_->dmCopies : 1;

  output_bin_ = TQRBin::First;
  if (DeviceSupports(DM_DEFAULTSOURCE)) {
    output_bin_ = BinFromCode(device_mode_->dmDefaultSource).value_or(TQRBin::First);
  }

  duplex_ = DeviceSupports(DM_DUPLEX) && device_mode_->dmDuplex != DMDUP_SIMPLEX;

  left_offset_ = PixelsToTenthMm(printer_->GetDeviceCaps(DeviceCap::PHYSICALOFFSETX), pixels_per_x_);
  top_offset_ = PixelsToTenthMm(printer_->GetDeviceCaps(DeviceCap::PHYSICALOFFSETY), pixels_per_y_);

  paper_size_ = TQRPaperSize::Default;
  if (DeviceSupports(DM_PAPERSIZE)) {
    paper_size_ = PaperSizeFromCode(device_mode_->dmPaperSize).value_or(TQRPaperSize::Default);
  }

  paper_width_ = PixelsToTenthMm(printer_->GetDeviceCaps(DeviceCap::PHYSICALWIDTH), pixels_per_x_);
  paper_length_ = PixelsToTenthMm(printer_->GetDeviceCaps(DeviceCap::PHYSICALHEIGHT), pixels_per_y_);

  paper_supported_.fill(false);
  const auto papers = printer_->DeviceCapabilities(device_, port_, DeviceCapability::DC_PAPERS, device_mode_);
  for (const std::int16_t code : papers) {
    if (const auto size = PaperSizeFromCode(code)) paper_supported_[static_cast<std::size_t>(*size)] = true;
  }
  paper_supported_[static_cast<std::size_t>(TQRPaperSize::Custom)] = true;
}

void TPrinterSettings::ApplyToDevice() {
  if (printer_ == nullptr) return;
  FetchPrinter();
  // Without a device mode there is nothing to write into.
  if (!device_mode_) return;
  DeviceMode& mode = *device_mode_;

  if (paper_size_ == TQRPaperSize::Custom) {
    mode.dmFields |= DM_PAPERLENGTH;
    mode.dmPaperLength = ClampToInt16(PaperLength());
    mode.dmFields |= DM_PAPERWIDTH;
    mode.dmPaperWidth = ClampToInt16(PaperWidth());
  }
  if (duplex_) {
    mode.dmFields |= DM_DUPLEX;
    mode.dmDuplex = DMDUP_HORIZONTAL;
  }
  if (DeviceSupports(DM_PAPERSIZE) && paper_size_ != TQRPaperSize::Default) {
    mode.dmFields |= DM_PAPERSIZE;
    mode.dmPaperSize = PaperSizeInfoOf(paper_size_).DeviceCode;
  }
  mode.dmFields |= DM_COPIES;
  mode.dmCopies = ClampToInt16(copies_);
  mode.dmFields |= DM_DEFAULTSOURCE;
  mode.dmDefaultSource = static_cast<std::int16_t>(BinInfoOf(output_bin_).DeviceCode | (mode.dmDefaultSource & 0x100));
  mode.dmFields |= DM_ORIENTATION;
  mode.dmOrientation = orientation_ == TPrinterOrientation::poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;

  printer_->SetPrinter(device_, driver_, port_, device_mode_);
}

bool TPrinterSettings::DeviceSupports(std::int32_t field_bits) const noexcept {
  if (printer_ == nullptr || field_bits < 0 || !device_mode_) return false;
  const auto bits = static_cast<std::uint32_t>(field_bits);
  return (device_mode_->dmFields & bits) == bits;
}

bool TPrinterSettings::IsPaperSupported(TQRPaperSize size) const noexcept {
  const auto i = static_cast<std::size_t>(size);
  return i > 0 && i < paper_supported_.size() && paper_supported_[i];
}

std::int32_t TPrinterSettings::PaperWidth() const noexcept {
  if (!HasTableSize(paper_size_)) return paper_width_;
  return TableTenthMm(PaperSizeInfoOf(paper_size_).Width);
}

std::int32_t TPrinterSettings::PaperLength() const noexcept {
  if (!HasTableSize(paper_size_)) return paper_length_;
  return TableTenthMm(PaperSizeInfoOf(paper_size_).Length);
}

void TPrinterSettings::SetCopies(std::int32_t copies) {
  if (DeviceSupports(DM_COPIES)) copies_ = copies;
}

void TPrinterSettings::SetOrientation(TPrinterOrientation orientation) {
  if (DeviceSupports(DM_ORIENTATION)) orientation_ = orientation;
}

void TPrinterSettings::SetOutputBin(TQRBin bin) {
  if (DeviceSupports(DM_DEFAULTSOURCE) && static_cast<std::size_t>(bin) < kBinCount) output_bin_ = bin;
}

void TPrinterSettings::SetPaperSize(TQRPaperSize size) {
  if (size == TQRPaperSize::Default || IsPaperSupported(size)) paper_size_ = size;
}

void TPrinterSettings::SetPaperWidth(std::int32_t width) {
  if (paper_size_ == TQRPaperSize::Custom) paper_width_ = width;
}

void TPrinterSettings::SetPaperLength(std::int32_t length) {
  if (paper_size_ == TQRPaperSize::Custom) paper_length_ = length;
}

}  // namespace pravel
