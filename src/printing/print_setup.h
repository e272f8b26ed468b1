#pragma once
// The printer setup of a report: the print dialog prepared from the report's
// settings, and the user's choices stored back into them.

#include <cstdint>
#include <optional>

#include "printing/paper.h"
#include "printing/qr_printer_settings.h"

namespace pravel {

// What the printer setup reads and changes of a report.
struct PrinterSetupSubject {
  // Copies, PrinterIndex, FirstPage and LastPage are read and stored.
  TQRPrinterSettings& Settings;
  // The orientation of the report's page setup.
  TPrinterOrientation& Orientation;
  // The page count of the report's finished report printer, if it has one.
  std::optional<std::int32_t> FinishedPages;
};

// Runs the print dialog on the shared printer, started from the driver's
// defaults for the report's printer. True when the user accepted; the
// choices are then stored in the subject. A cancelled dialog changes
// nothing of the subject. Printer errors propagate.
bool RunPrinterSetup(const PrinterSetupSubject& subject);

}  // namespace pravel
