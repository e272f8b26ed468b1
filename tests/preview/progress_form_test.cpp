#include "preview/progress_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "platform/messages.h"
#include "platform/platform.h"
#include "report/qr_printer.h"
#include "support/scripted_printer_device.h"
#include "viewer/test_application.h"

namespace pravel {
namespace {

class ProgressFormTest : public ::testing::Test {
 protected:
  // The test program's one application, shared with the other suites.
  static void SetUpTestSuite() { EnsureApplication(); }

  Platform platform_;

  // Posts the progress through the printer and lets it arrive.
  void Report(int value) {
    printer.SetProgress(value);
    QCoreApplication::sendPostedEvents();
  }

  TQRPrinter printer{std::make_unique<ScriptedPrinterDevice>()};
};

TEST_F(ProgressFormTest, LooksAsDesigned) {
  TQRProgressForm form(printer);
  EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Postęp wydruku"));
  EXPECT_EQ(form.size(), QSize(149, 97));
  EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(form.Gauge()->maximum(), 100);
  EXPECT_EQ(form.CancelButton()->text(), QString::fromUtf8("Anuluj"));
  EXPECT_EQ(form.geometry().center(), form.screen()->availableGeometry().center());
  for (const QWidget* child : {static_cast<QWidget*>(form.Gauge()), static_cast<QWidget*>(form.Info()),
                               static_cast<QWidget*>(form.CancelButton())}) {
    EXPECT_TRUE(form.rect().contains(child->geometry())) << child->objectName().toStdString();
  }
}

TEST_F(ProgressFormTest, ShowsMultiplesOfFiveAndLetsMessagesRun) {
  int pumped = 0;
  platform_.MessagePump = [&] { ++pumped; };
  TQRProgressForm form(printer);
  EXPECT_EQ(printer.Client(), &form.Target());

  Report(5);
  EXPECT_EQ(form.Gauge()->value(), 5);
  EXPECT_EQ(form.Info()->text(), QStringLiteral("5%  Completed"));
  EXPECT_EQ(pumped, 1);

  Report(7);
  EXPECT_EQ(form.Gauge()->value(), 5);
  EXPECT_EQ(form.Info()->text(), QStringLiteral("5%  Completed"));
  EXPECT_EQ(pumped, 1);

  Report(10);
  EXPECT_EQ(form.Gauge()->value(), 10);
  EXPECT_EQ(form.Info()->text(), QStringLiteral("10%  Completed"));
  EXPECT_EQ(pumped, 2);
}

TEST_F(ProgressFormTest, CancelButtonCancelsThePrintersRun) {
  {
    TQRProgressForm form(printer);
    EXPECT_FALSE(printer.Cancelled());
    form.CancelButton()->click();
    EXPECT_TRUE(printer.Cancelled());
  }
  // Gone, the form is no longer the printer's Client.
  EXPECT_EQ(printer.Client(), nullptr);
  printer.SetProgress(20);
  QCoreApplication::sendPostedEvents();
}

}  // namespace
}  // namespace pravel
