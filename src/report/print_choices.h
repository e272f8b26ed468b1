#pragma once
// The choices of a printer setup carried over to a report printer that
// prints a finished report, through its setters, so that what the chosen
// printer cannot take is dropped.

#include "printing/paper.h"
#include "printing/qr_printer_settings.h"
#include "report/qr_printer.h"

namespace pravel {

// Selects the chosen printer (from its driver's defaults), keeps the
// report's paper where the printer takes it, and sets orientation, copies
// and page range.
void ApplyPrintChoices(TQRPrinter& printer, const TQRPrinterSettings& choices, TPrinterOrientation orientation);

}  // namespace pravel
