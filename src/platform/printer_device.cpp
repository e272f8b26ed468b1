#include "platform/printer_device.h"

#include <algorithm>
#include <limits>

#include "platform/errors.h"

namespace pravel {

namespace {

std::int16_t ClampToInt16(int value) {
  return static_cast<std::int16_t>(
      std::clamp<int>(value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

}  // namespace

void PrinterDevice::ResetDeviceMode() {
  const SelectedPrinter selected = GetPrinter();
  SetPrinter(selected.Device, selected.Driver, selected.Port, std::nullopt);
}

int PrinterDevice::Copies() {
  const SelectedPrinter selected = GetPrinter();
  if (!selected.Mode) throw EPrinterError(kNotSupported);
  return selected.Mode->dmCopies;
}

void PrinterDevice::SetCopies(int copies) {
  if (Printing()) throw EPrinterError(kPrintingInProgress);
  SelectedPrinter selected = GetPrinter();
  if (!selected.Mode) throw EPrinterError(kNotSupported);
  selected.Mode->dmFields |= DM_COPIES;
  selected.Mode->dmCopies = ClampToInt16(copies);
  SetPrinter(selected.Device, selected.Driver, selected.Port, selected.Mode);
}

int PrinterDevice::Orientation() {
  const SelectedPrinter selected = GetPrinter();
  if (!selected.Mode) throw EPrinterError(kNotSupported);
  return selected.Mode->dmOrientation;
}

void PrinterDevice::SetOrientation(int orientation) {
  if (Printing()) throw EPrinterError(kPrintingInProgress);
  SelectedPrinter selected = GetPrinter();
  if (!selected.Mode) throw EPrinterError(kNotSupported);
  selected.Mode->dmFields |= DM_ORIENTATION;
  selected.Mode->dmOrientation = ClampToInt16(orientation);
  SetPrinter(selected.Device, selected.Driver, selected.Port, selected.Mode);
}

}  // namespace pravel
