#include "platform/printer_device.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/errors.h"
#include "platform/scripted_printer_device.h"

namespace pravel {

namespace {

std::int16_t ClampToInt16(int value) {
  return static_cast<std::int16_t>(std::clamp<int>(value, std::numeric_limits<std::int16_t>::min(),
                                                   std::numeric_limits<std::int16_t>::max()));
}

PrinterDeviceFactory& Factory() {
  static PrinterDeviceFactory factory;
  return factory;
}

std::unique_ptr<PrinterDevice>& Shared() {
  static std::unique_ptr<PrinterDevice> shared;
  return shared;
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

std::unique_ptr<PrinterDevice> NewPrinterDevice() {
  if (const auto& factory = Factory()) return factory();
  return std::make_unique<ScriptedPrinterDevice>();
}

void SetPrinterDeviceFactory(PrinterDeviceFactory factory) { Factory() = std::move(factory); }

PrinterDevice& SharedPrinterDevice() {
  auto& shared = Shared();
  if (!shared) shared = NewPrinterDevice();
  return *shared;
}

void SetSharedPrinterDevice(std::unique_ptr<PrinterDevice> device) { Shared() = std::move(device); }

}  // namespace pravel
