#include "platform/qt/qt_print_dialog.h"

#include <QApplication>
#include <QEvent>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QScreen>
#include <algorithm>

#include "platform/qt/qt_printer_device.h"

namespace pravel::qt {

namespace {

bool CanDuplex(const QPrinterInfo& info) {
  const auto modes = info.supportedDuplexModes();
  return std::any_of(modes.begin(), modes.end(), [](QPrinter::DuplexMode m) { return m != QPrinter::DuplexNone; });
}

// The dialog as its hook sees it.
class QtDialogWindow final : public DialogWindow {
 public:
  explicit QtDialogWindow(QWidget& dialog) : dialog_(dialog) {}
  DialogSize Size() const override { return {dialog_.width(), dialog_.height()}; }
  DialogSize ScreenSize() const override {
    const QScreen* screen = dialog_.screen() != nullptr ? dialog_.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return {};
    return {screen->geometry().width(), screen->geometry().height()};
  }
  void Move(DialogPoint to) override { dialog_.move(to.X, to.Y); }

 private:
  QWidget& dialog_;
};

// Runs the hook when the dialog is first shown.
class ShowWatcher final : public QObject {
 public:
  ShowWatcher(QWidget& dialog, const DialogHook& hook) : window_(dialog), hook_(hook) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && !shown_) {
      shown_ = true;
      if (hook_) hook_(DialogHookEvent::InitDialog, window_);
    }
    return QObject::eventFilter(watched, event);
  }
  void Finish() {
    if (shown_ && hook_) hook_(DialogHookEvent::Destroy, window_);
  }

 private:
  QtDialogWindow window_;
  const DialogHook& hook_;
  bool shown_ = false;
};

}  // namespace

std::unique_ptr<QPrinter> PrinterForRequest(const PrintDlgRequest& request) {
  QPrinterInfo info;
  if (request.hDevNames) {
    if (const auto names = ReadDeviceNamesBlock(*request.hDevNames)) {
      info = QPrinterInfo::printerInfo(QString::fromStdString(names->Device));
    }
  }
  if (info.isNull()) info = QPrinterInfo::defaultPrinter();
  auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  if (request.hDevMode) ApplyDeviceMode(*request.hDevMode, *printer);
  return printer;
}

void PrepareDialog(QPrintDialog& dialog, QPrinter& printer, const PrintDlgRequest& request) {
  const auto has = [&request](std::uint32_t flag) { return (request.Flags & flag) != 0; };
  QAbstractPrintDialog::PrintDialogOptions options =
      QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize;
  if (!has(PD_HIDEPRINTTOFILE) && !has(PD_DISABLEPRINTTOFILE)) options |= QAbstractPrintDialog::PrintToFile;
  if (!has(PD_NOSELECTION)) options |= QAbstractPrintDialog::PrintSelection;
  if (!has(PD_NOPAGENUMS)) options |= QAbstractPrintDialog::PrintPageRange;
  dialog.setOptions(options);
  dialog.setMinMax(request.nMinPage, request.nMaxPage);
  printer.setFromTo(std::min(request.nFromPage, request.nToPage), request.nToPage);
  printer.setCollateCopies(has(PD_COLLATE));
  if (has(PD_SELECTION)) {
    dialog.setPrintRange(QAbstractPrintDialog::Selection);
  } else if (has(PD_PAGENUMS)) {
    dialog.setPrintRange(QAbstractPrintDialog::PageRange);
  } else {
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
  }
}

void ReadDialog(const QPrintDialog& dialog, const QPrinter& printer, PrintDlgRequest& request) {
  std::uint32_t flags = request.Flags & ~(PD_SELECTION | PD_PAGENUMS | PD_COLLATE | PD_PRINTTOFILE);
  switch (dialog.printRange()) {
    case QAbstractPrintDialog::Selection: flags |= PD_SELECTION; break;
    case QAbstractPrintDialog::PageRange: flags |= PD_PAGENUMS; break;
    case QAbstractPrintDialog::AllPages:
    case QAbstractPrintDialog::CurrentPage: break;
  }
  if (printer.collateCopies()) flags |= PD_COLLATE;
  if (!printer.outputFileName().isEmpty()) flags |= PD_PRINTTOFILE;
  request.Flags = flags;
  request.nFromPage = static_cast<std::uint16_t>(std::clamp(printer.fromPage(), 0, 0xFFFF));
  request.nToPage = static_cast<std::uint16_t>(std::clamp(printer.toPage(), 0, 0xFFFF));
  request.nCopies = static_cast<std::uint16_t>(std::clamp(printer.copyCount(), 1, 0x7FFF));
  const QPrinterInfo info = QPrinterInfo::printerInfo(printer.printerName());
  request.hDevMode = DeviceModeOf(printer, CanDuplex(info));
  request.hDevNames = MakeDeviceNamesBlock(
      {info.makeAndModel().toStdString(), printer.printerName().toStdString(), info.location().toStdString(), false});
}

bool RunQtPrintDialog(PrintDlgRequest& request) {
  const std::unique_ptr<QPrinter> printer = PrinterForRequest(request);
  QPrintDialog dialog(printer.get(), QApplication::activeWindow());
  PrepareDialog(dialog, *printer, request);
  dialog.setWindowModality(Qt::ApplicationModal);
  ShowWatcher watcher(dialog, request.lpfnPrintHook);
  dialog.installEventFilter(&watcher);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  dialog.removeEventFilter(&watcher);
  watcher.Finish();
  if (accepted) ReadDialog(dialog, *printer, request);
  return accepted;
}

}  // namespace pravel::qt
