#include "platform/platform.h"

#include <cassert>
#include <utility>

#include "platform/errors.h"
#include "platform/null_printer_device.h"

namespace pravel {

namespace {

// The innermost living Platform; none while no program or test made one.
Platform* current_platform = nullptr;

}  // namespace

Platform::Platform() : previous_(current_platform), installed_(true) { current_platform = this; }

Platform::Platform(NullServices) noexcept {}

Platform::~Platform() {
  if (!installed_) return;
  assert(current_platform == this && "platforms end in the reverse order of their making");
  current_platform = previous_;
}

Platform& Platform::Current() {
  if (current_platform != nullptr) return *current_platform;
  static Platform null_services{NullServices{}};
  return null_services;
}

std::unique_ptr<PrinterDevice> Platform::NewPrinterDevice() const {
  if (PrinterDevices) {
    if (auto device = PrinterDevices()) return device;
  }
  return std::make_unique<NullPrinterDevice>();
}

PrinterDevice& Platform::SharedPrinterDevice() {
  if (!shared_printer_) shared_printer_ = NewPrinterDevice();
  return *shared_printer_;
}

void Platform::SetSharedPrinterDevice(std::unique_ptr<PrinterDevice> device) { shared_printer_ = std::move(device); }

bool Platform::RunPrintDialog(PrintDlgRequest& request) const {
  if (!PrintDialog) throw EPlatformError(kNoPrintDialog);
  return PrintDialog(request);
}

void Platform::OpenWebPage(const std::string& url) const {
  if (!OpenUrl) throw EPlatformError(kNoBrowser);
  OpenUrl(url);
}

}  // namespace pravel
