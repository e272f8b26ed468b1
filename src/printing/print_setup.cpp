#include "printing/print_setup.h"

#include "platform/platform.h"
#include "printing/print_dialog.h"

namespace pravel {

namespace {

constexpr std::int32_t kOpenMaxPage = 9999;

}  // namespace

bool RunPrinterSetup(const PrinterSetupSubject& subject) {
  PrinterDevice& printer = Platform::Current().SharedPrinterDevice();
  TQRPrintDialog dialog(printer);
  printer.ResetDeviceMode();
  printer.SetPrinterIndex(subject.Settings.PrinterIndex());

  dialog.SetMinPage(0);
  dialog.SetMaxPage(kOpenMaxPage);
  if (subject.FinishedPages) {
    dialog.SetMinPage(1);
    dialog.SetMaxPage(*subject.FinishedPages);
    dialog.SetFromPage(1);
    dialog.SetToPage(dialog.MaxPage());
  }
  dialog.SetOptions({TPrintDialogOption::poPageNums, TPrintDialogOption::poWarning});
  printer.SetOrientation(subject.Orientation == TPrinterOrientation::poLandscape ? DMORIENT_LANDSCAPE
                                                                                 : DMORIENT_PORTRAIT);
  dialog.SetCopies(subject.Settings.Copies());

  if (!dialog.Execute()) return false;

  subject.Settings.SetCopies(dialog.Copies());
  subject.Settings.SetPrinterIndex(printer.PrinterIndex());
  subject.Orientation =
      printer.Orientation() == DMORIENT_LANDSCAPE ? TPrinterOrientation::poLandscape : TPrinterOrientation::poPortrait;
  const bool range = dialog.PrintRange() == TPrintRange::prPageNums;
  subject.Settings.SetFirstPage(range ? dialog.FromPage() : 0);
  subject.Settings.SetLastPage(range ? dialog.ToPage() : 0);
  return true;
}

}  // namespace pravel
