#pragma once
// The device-facing printer settings of a report printer object: a snapshot
// of the selected printer's device mode and capabilities, changed within
// what the device takes and written back before a print job.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/printer_device.h"
#include "printing/paper.h"

namespace pravel {

class TPrinterSettings {
 public:
  TPrinterSettings() = default;

  // Binds the settings to `printer` (not owned; none unbinds) and, when it
  // has printers, reads them from it.
  void SetPrinter(PrinterDevice* printer);
  PrinterDevice* Printer() const noexcept { return printer_; }

  // Refreshes every field but Orientation from the selected printer.
  void ReadFromDevice();
  // Writes the fields into the device mode and selects the printer with it.
  void ApplyToDevice();

  // True when a printer is bound, `field_bits` is not negative, a device
  // mode is present and it carries all of `field_bits` in dmFields.
  bool DeviceSupports(std::int32_t field_bits) const noexcept;
  // The device offers `size` (Letter..Custom).
  bool IsPaperSupported(TQRPaperSize size) const noexcept;

  const std::string& Device() const noexcept { return device_; }
  const std::string& Driver() const noexcept { return driver_; }
  const std::string& Port() const noexcept { return port_; }

  std::int32_t Copies() const noexcept { return copies_; }
  bool Duplex() const noexcept { return duplex_; }
  TPrinterOrientation Orientation() const noexcept { return orientation_; }
  TQRBin OutputBin() const noexcept { return output_bin_; }
  TQRPaperSize PaperSize() const noexcept { return paper_size_; }
  // The effective paper extent in 0.1 mm, portrait: the width and length
  // fields for Default and Custom, the table size for the others.
  std::int32_t PaperWidth() const noexcept;
  std::int32_t PaperLength() const noexcept;
  std::int32_t PixelsPerX() const noexcept { return pixels_per_x_; }
  std::int32_t PixelsPerY() const noexcept { return pixels_per_y_; }
  std::int32_t TopOffset() const noexcept { return top_offset_; }
  std::int32_t LeftOffset() const noexcept { return left_offset_; }

  // Each setter ignores what the device cannot take.
  void SetCopies(std::int32_t copies);
  void SetOrientation(TPrinterOrientation orientation);
  void SetOutputBin(TQRBin bin);
  void SetPaperSize(TQRPaperSize size);
  void SetPaperWidth(std::int32_t width);
  void SetPaperLength(std::int32_t length);

 private:
  // Names and device mode of the selected printer, asked twice when the
  // first answer carries no device mode.
  SelectedPrinter FetchPrinter();

  std::string device_;
  std::string driver_;
  std::string port_;
  std::optional<DeviceMode> device_mode_;  // as last read or written
  std::int32_t copies_ = 0;
  bool duplex_ = false;
  TPrinterOrientation orientation_ = TPrinterOrientation::poPortrait;
  TQRBin output_bin_ = TQRBin::First;
  TQRPaperSize paper_size_ = TQRPaperSize::A4;
  std::array<bool, kPaperSizeCount> paper_supported_{};  // by size; Default unused
  std::int32_t paper_width_ = 0;
  std::int32_t paper_length_ = 0;
  std::int32_t pixels_per_x_ = 0;
  std::int32_t pixels_per_y_ = 0;
  std::int32_t top_offset_ = 0;
  std::int32_t left_offset_ = 0;
  PrinterDevice* printer_ = nullptr;
};

}  // namespace pravel
