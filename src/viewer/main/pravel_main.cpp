// pravel: the desktop viewer. `pravel` shows the report files of the last
// used folder; `pravel FILE.qrp` shows that report.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "export/loaded_report_export.h"
#include "platform/platform.h"
#include "platform/qt/font_resolver.h"
#include "platform/qt/qt_messages.h"
#include "platform/qt/qt_print_dialog.h"
#include "platform/qt/qt_printer_device.h"
#include "preview/standard_preview.h"
#include "viewer/about_box.h"
#include "viewer/dialogs.h"
#include "viewer/first_paint_probe.h"
#include "viewer/konsola.h"
#include "viewer/start_page_form.h"
#include "viewer/web_page.h"

namespace {

// The arguments after the program's name that Qt left.
QStringList Arguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QFile::decodeName(argv[i]);
  return arguments;
}

int RunViewer(int argc, char** argv, const QElapsedTimer& started) {
  const pravel::Dialogs dialogs = pravel::ScreenDialogs();
  pravel::Platform platform;
  platform.PrinterDevices = [] { return std::make_unique<pravel::qt::QtPrinterDevice>(); };
  platform.PrintDialog = pravel::qt::RunQtPrintDialog;
  platform.MessagePump = pravel::qt::ProcessQtEvents;
  platform.PreviewClass = pravel::NewStandardPreviewInterface;
  platform.ExportLoadedReport = pravel::ExportLoadedReport;
  platform.OpenUrl = pravel::OpenInBrowser;
  platform.ShowError = [&dialogs](const std::string& message) {
    dialogs.ShowMessage(QApplication::activeWindow(), {.text = QString::fromStdString(message),
                                                       .caption = QCoreApplication::applicationName(),
                                                       .icon = pravel::MessageIcon::Error});
  };

  pravel::TFKonsolaPravel window(Arguments(argc, argv), dialogs);
  pravel::TForm1 form1(&window);
  window.SetStartPage(&form1.QRReport1());
  pravel::TAboutBox about_box;
  window.SetAboutBox(&about_box);
  pravel::InstallFirstPaintProbe(window, started);
  window.show();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string_view(argv[1]) == "--version") {
    std::cout << "pravel " PRAVEL_VERSION "\n";
    return 0;
  }
  QElapsedTimer started;
  started.start();
  QApplication app(argc, argv);
  // The application title, shown by the About box.
  QCoreApplication::setApplicationName(QStringLiteral("Pravel 1.2"));
  pravel::qt::LoadLookAlikeFonts();
  return RunViewer(argc, argv, started);
}
