#include "platform/null_printer_device.h"

#include "platform/errors.h"
#include "platform/platform.h"

namespace pravel {

void NullPrinterDevice::SetPrinterIndex(int index) {
  if (index != -1) throw EPrinterError(kPrinterIndexOutOfRange);
}

void NullPrinterDevice::SetPrinter(const std::string& device, const std::string& /*driver*/,
                                   const std::string& /*port*/, const std::optional<DeviceMode>& /*mode*/) {
  if (!device.empty()) throw EPrinterError(kPrinterIndexOutOfRange);
}

void NullPrinterDevice::BeginDoc() { throw EPrinterError(kNoPrinting); }

void NullPrinterDevice::NewPage() { throw EPrinterError(kNotPrinting); }

void NullPrinterDevice::EndDoc() { throw EPrinterError(kNotPrinting); }

void NullPrinterDevice::Abort() { throw EPrinterError(kNotPrinting); }

}  // namespace pravel
