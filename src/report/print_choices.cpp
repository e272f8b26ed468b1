#include "report/print_choices.h"

namespace pravel {

void ApplyPrintChoices(TQRPrinter& printer, const TQRPrinterSettings& choices, TPrinterOrientation orientation) {
  const TQRPaperSize paper = printer.PaperSize();
  const std::int32_t width = printer.PrinterSettings().PaperWidth();
  const std::int32_t length = printer.PrinterSettings().PaperLength();
  printer.SetPrinterIndex(choices.PrinterIndex());
  printer.SetPaperSize(paper);
  if (paper == TQRPaperSize::Custom) {
    printer.SetCustomPaperWidth(width);
    printer.SetCustomPaperLength(length);
  }
  printer.SetOrientation(orientation);
  printer.SetCopies(choices.Copies());
  printer.SetFirstPage(choices.FirstPage());
  printer.SetLastPage(choices.LastPage());
}

}  // namespace pravel
