// Printing from the main window through the CUPS-PDF queue, with the real
// printer device, and the print dialog over QPrintDialog.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QPrintDialog>
#include <QTimer>
#include <algorithm>

#include "engine/qr_report.h"
#include "platform/platform.h"
#include "platform/qt/qt_print_dialog.h"
#include "platform/qt/qt_printer_device.h"
#include "platform/qt/test_home.h"
#include "preview/error_handler.h"
#include "preview/qr_preview.h"
#include "printing/print_dialog.h"
#include "printing/scripted_print_dialog.h"
#include "report/qr_printer.h"
#include "report/qr_printer_test_util.h"
#include "report/test_files.h"
#include "support/cups_pdf.h"
#include "test_application.h"
#include "viewer/konsola.h"

namespace pravel {
namespace {

class ViewerCupsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { unavailable_ = test::CupsQueueUnavailable(); }

  void SetUp() override {
    if (!unavailable_.empty()) {
      const char* ci = std::getenv("CI");
      if (ci != nullptr && std::string(ci) == "true") FAIL() << "no CUPS-PDF queue: " << unavailable_;
      GTEST_SKIP() << "CUPS cannot be set up here, so nothing is printed: " << unavailable_;
    }
    EnsureApplication();
    platform_.ShowError = [this](const std::string& message) { errors_.push_back(QString::fromStdString(message)); };
    platform_.PrinterDevices = [] { return std::make_unique<qt::QtPrinterDevice>(); };
    // The application's printer is the test queue, whatever the default.
    auto shared = std::make_unique<qt::QtPrinterDevice>();
    const auto names = shared->Printers();
    const auto queue = std::find(names.begin(), names.end(), test::kCupsQueue);
    ASSERT_NE(queue, names.end());
    shared->SetPrinterIndex(static_cast<int>(queue - names.begin()));
    platform_.SetSharedPrinterDevice(std::move(shared));
    test::WriteReport(dir_ / "r3.qrp", test::DrawnPages(3));
  }
  void TearDown() override {
    window_.reset();
    // Qt's printers go before the application.
    platform_.SetSharedPrinterDevice(nullptr);
  }

  TFKonsolaPravel& Start() {
    window_ =
        std::make_unique<TFKonsolaPravel>(QStringList{QString::fromStdString((dir_ / "r3.qrp").string())}, Dialogs{});
    window_->SetStartPage(&report_);
    window_->show();
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    return *window_;
  }

  // The PDF of the job named after the report's path.
  test::Printout Printed() {
    const std::string tag = dir_.Path().filename().string();
    const auto pdf = test::WaitForPdf(tag);
    if (!pdf) {
      ADD_FAILURE() << "no PDF named after " << tag << "; jobs: " << test::Shell("lpstat -o").output;
      return {};
    }
    test::Printout printout = test::ReadPdf(*pdf, dir_.Path());
    std::filesystem::remove(*pdf);
    return printout;
  }

  static inline std::string unavailable_;
  Platform platform_;
  qt::TestHome home_;
  test::TempDir dir_;
  TQRReport report_;
  std::unique_ptr<TFKonsolaPravel> window_;
  std::vector<QString> errors_;
};

TEST_F(ViewerCupsTest, PrintGivesEveryPage) {
  Start().Drukuj1Click();
  ASSERT_TRUE(errors_.empty()) << errors_.front().toStdString();
  EXPECT_EQ(Printed().pages, 3);
}

TEST_F(ViewerCupsTest, PrinterSetupPrintsTheChosenRange) {
  test::ScriptedPrintDialog dialog;
  dialog.Accept([](PrintDlgRequest& reply) {
    reply.hDevNames = MakeDeviceNamesBlock({"", test::kCupsQueue, "", false});
    test::PagesChoice(2, 3)(reply);
  });
  Start().Zamknij1Click();
  ASSERT_TRUE(errors_.empty()) << errors_.front().toStdString();
  EXPECT_EQ(report_.Tag(), 0);
  EXPECT_EQ(Printed().pages, 2);
}

// The dialog over QPrintDialog: placed by the hook, offering the request's
// pages on the request's printer, and answering with the user's choices.
TEST_F(ViewerCupsTest, TheQtPrintDialogTakesAndGivesTheRequest) {
  PrintDlgRequest request;
  request.Flags = PD_PAGENUMS | PD_HIDEPRINTTOFILE | PD_NOSELECTION;
  request.nMinPage = 1;
  request.nMaxPage = 7;
  request.nFromPage = 2;
  request.nToPage = 5;
  request.hDevNames = MakeDeviceNamesBlock({"", test::kCupsQueue, "", false});
  DeviceMode mode;
  mode.dmFields = DM_COPIES | DM_ORIENTATION;
  mode.dmCopies = 3;
  mode.dmOrientation = DMORIENT_LANDSCAPE;
  request.hDevMode = mode;
  std::vector<DialogHookEvent> hooked;
  QPoint placed;
  QSize size;
  QSize screen;
  request.lpfnPrintHook = [&](DialogHookEvent event, DialogWindow& window) {
    hooked.push_back(event);
    if (event != DialogHookEvent::InitDialog) return;
    const DialogPoint to = CentredDialogPlace(window.ScreenSize(), window.Size());
    window.Move(to);
    placed = {to.X, to.Y};
    size = {window.Size().Width, window.Size().Height};
    screen = {window.ScreenSize().Width, window.ScreenSize().Height};
  };
  QString shown_printer;
  // Answers the dialog once it is on screen.
  QTimer user;
  user.setInterval(20);
  QObject::connect(&user, &QTimer::timeout, [&] {
    QPrintDialog* dialog = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* found = qobject_cast<QPrintDialog*>(top); found != nullptr && found->isVisible()) dialog = found;
    }
    if (dialog == nullptr) return;
    user.stop();
    shown_printer = dialog->printer()->printerName();
    EXPECT_EQ(dialog->fromPage(), 2);
    EXPECT_EQ(dialog->maxPage(), 7);
    EXPECT_EQ(dialog->printRange(), QAbstractPrintDialog::PageRange);
    EXPECT_FALSE(dialog->testOption(QAbstractPrintDialog::PrintToFile));
    EXPECT_FALSE(dialog->testOption(QAbstractPrintDialog::PrintSelection));
    EXPECT_EQ(dialog->pos(), placed);
    dialog->accept();
  });
  user.start();
  // An exit asked for by an earlier test with no event loop running would
  // end the dialog's loop at once; a run of the application's loop clears it.
  QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
  QApplication::exec();
  ASSERT_TRUE(qt::RunQtPrintDialog(request));
  EXPECT_EQ(shown_printer, test::kCupsQueue);
  EXPECT_EQ(hooked, (std::vector{DialogHookEvent::InitDialog, DialogHookEvent::Destroy}));
  EXPECT_EQ(placed, QPoint((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 3));
  const auto names = ReadDeviceNamesBlock(*request.hDevNames);
  ASSERT_TRUE(names);
  EXPECT_EQ(names->Device, test::kCupsQueue);
  EXPECT_EQ(request.Flags & (PD_PAGENUMS | PD_SELECTION), PD_PAGENUMS);
  EXPECT_EQ(request.nFromPage, 2);
  EXPECT_EQ(request.nToPage, 5);
  EXPECT_EQ(request.nCopies, 3);
  ASSERT_TRUE(request.hDevMode);
  EXPECT_EQ(request.hDevMode->dmOrientation, DMORIENT_LANDSCAPE);
}

}  // namespace
}  // namespace pravel
