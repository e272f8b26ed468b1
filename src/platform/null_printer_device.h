#pragma once
// The printer device of a program that does not print: no printers, and a
// print job raises "This program does not print".

#include "platform/printer_device.h"

namespace pravel {

class NullPrinterDevice final : public PrinterDevice {
 public:
  std::vector<std::string> Printers() const override { return {}; }
  int DefaultPrinterIndex() const override { return -1; }
  int PrinterIndex() const override { return -1; }
  void SetPrinterIndex(int index) override;
  SelectedPrinter GetPrinter() override { return {}; }
  void SetPrinter(const std::string& device, const std::string& driver, const std::string& port,
                  const std::optional<DeviceMode>& mode) override;
  std::vector<std::int16_t> DeviceCapabilities(const std::string& /*device*/, const std::string& /*port*/,
                                               DeviceCapability /*capability*/,
                                               const std::optional<DeviceMode>& /*mode*/) const override {
    return {};
  }
  int GetDeviceCaps(DeviceCap /*index*/) override { return 0; }
  bool Printing() const override { return false; }
  void BeginDoc() override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;
  gdi::Surface* PageSurface() override { return nullptr; }
};

}  // namespace pravel
