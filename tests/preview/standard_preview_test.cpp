#include "preview/standard_preview.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QToolButton>
#include <fstream>
#include <sstream>

#include "export/loaded_report_export.h"
#include "export/text_filter.h"
#include "platform/platform.h"
#include "platform/qt/qstring_printer.h"
#include "preview/qr_preview.h"
#include "report/qr_printer.h"
#include "report/qr_printer_test_util.h"
#include "report/test_files.h"
#include "support/scripted_printer_device.h"
#include "viewer/test_application.h"

namespace pravel {
namespace {

using test::DrawnPages;
using test::TempDir;
using test::WriteReport;

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class StandardPreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    platform_.ExportLoadedReport = ExportLoadedReport;
    WriteReport(dir_ / "r5.qrp", DrawnPages(5));
    device_ = new ScriptedPrinterDevice({ScriptedA4Printer("Office")});
    printer_ = std::make_unique<TQRPrinter>(std::unique_ptr<PrinterDevice>(device_));
    printer_->Load((dir_ / "r5.qrp").string());
  }

  PreviewDialogs Fakes() {
    return {.SaveFile =
                [this](QWidget*, const FileDialogRequest& request) {
                  requests_.push_back(request);
                  return next_;
                },
            .OpenFile =
                [this](QWidget*, const FileDialogRequest& request) {
                  requests_.push_back(request);
                  return next_;
                },
            .ShowMessage = [this](QWidget*, const QString& text) { messages_.push_back(text); }};
  }

  static void Key(QWidget* to, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(to, &press);
  }

  Platform platform_;
  TempDir dir_;
  ScriptedPrinterDevice* device_ = nullptr;  // owned by printer_
  std::unique_ptr<TQRPrinter> printer_;
  std::vector<FileDialogRequest> requests_;
  QStringList messages_;
  std::optional<FileDialogResult> next_;
};

TEST_F(StandardPreviewTest, OpensOnALoadedReport) {
  printer_->SetTitle("Sales");
  TQRStandardPreview window(*printer_, Fakes());
  EXPECT_EQ(window.windowTitle(), "Sales");
  EXPECT_TRUE(window.windowState() & Qt::WindowMaximized);
  EXPECT_EQ(window.QRPreview().QRPrinter(), printer_.get());
  EXPECT_TRUE(printer_->ShowingPreview());
  EXPECT_EQ(window.QRPreview().ZoomMode(), TQRZoomMode::Width);
  EXPECT_TRUE(window.Button("ZoomToWidth")->isChecked());
  EXPECT_TRUE(window.Button("Print")->isEnabled());
  EXPECT_FALSE(window.Button("PrintSetup")->isEnabled());
  EXPECT_EQ(window.ProgressText(), "0%");
  EXPECT_EQ(window.PageText(), "Strona");

  // The zoom buttons are one exclusive group.
  window.Button("Zoom100")->click();
  EXPECT_EQ(window.QRPreview().Zoom(), 100);
  EXPECT_FALSE(window.Button("ZoomToWidth")->isChecked());
}

TEST_F(StandardPreviewTest, PageButtonsAndKeys) {
  TQRStandardPreview window(*printer_, Fakes());
  QWidget* preview = &window.QRPreview();
  Key(preview, Qt::Key_End);
  EXPECT_EQ(window.QRPreview().PageNumber(), 5);
  EXPECT_EQ(window.PageText(), "Page 5 of 5");
  Key(preview, Qt::Key_PageUp, Qt::ShiftModifier);
  EXPECT_EQ(window.QRPreview().PageNumber(), 4);
  Key(preview, Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(window.QRPreview().PageNumber(), 1);
  Key(preview, Qt::Key_PageUp);  // below page 1: ignored
  EXPECT_EQ(window.PageText(), "Page 1 of 5");
  Key(preview, Qt::Key_PageDown);
  Key(preview, Qt::Key_PageDown, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(window.QRPreview().PageNumber(), 3);
  Key(preview, Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(window.QRPreview().PageNumber(), 5);
  Key(preview, Qt::Key_Home);
  EXPECT_EQ(window.QRPreview().PageNumber(), 1);

  window.Button("ToolButton2")->click();
  EXPECT_EQ(window.QRPreview().PageImage().PageNumber(), 2);
  EXPECT_EQ(window.PageText(), "Page 2 of 5");
}

TEST_F(StandardPreviewTest, ProgressInStepsOfFiveClearedAtTheEnds) {
  TQRStandardPreview window(*printer_, Fakes());
  QStringList shown;
  for (const int v : {3, 5, 9, 10}) {
    window.QRPreviewProgressUpdate(v);
    shown << window.ProgressText();
  }
  EXPECT_EQ(shown, (QStringList{"0%", "5%", "5%", "10%"}));
  window.QRPreviewProgressUpdate(100);
  EXPECT_EQ(window.ProgressText(), "");
  EXPECT_EQ(window.LastProgress(), 100);
  window.QRPreviewProgressUpdate(0);
  EXPECT_EQ(window.ProgressText(), "");
}

TEST_F(StandardPreviewTest, PageAvailableEnablesPrintingOfAFinishedReport) {
  TQRStandardPreview window(*printer_, Fakes());
  printer_->SetAvailablePages(5);  // posted to the preview
  QCoreApplication::processEvents();
  EXPECT_EQ(window.PageText(), "Page 1 of 5");
  EXPECT_TRUE(window.Button("PrintSetup")->isEnabled());

  int setups = 0;
  printer_->OnPrintSetup = [&](void*) { ++setups; };
  window.Button("PrintSetup")->click();
  EXPECT_EQ(setups, 1);
  window.Button("Print")->click();
  EXPECT_EQ(device_->SheetsPrinted(), 5);
}

TEST_F(StandardPreviewTest, LoadAndItsMissingFile) {
  WriteReport(dir_ / "r2.qrp", DrawnPages(2));
  TQRStandardPreview window(*printer_, Fakes());
  window.QRPreviewPageAvailable(1);
  ASSERT_TRUE(window.Button("PrintSetup")->isEnabled());

  next_ = FileDialogResult{QString::fromStdString((dir_ / "gone.qrp").string()), 1};
  window.Button("LoadReport")->click();
  ASSERT_EQ(requests_.size(), 1U);
  EXPECT_EQ(requests_[0].title, "Load report");
  EXPECT_EQ(requests_[0].filters, QStringList{"Report file (*.QRP *.qrp)"});
  EXPECT_EQ(messages_, QStringList{"File does not exist"});
  EXPECT_EQ(printer_->PageCount(), 5);

  window.Button("LastPage")->click();
  next_ = FileDialogResult{QString::fromStdString((dir_ / "r2.qrp").string()), 1};
  window.Button("LoadReport")->click();
  EXPECT_EQ(printer_->PageCount(), 2);
  EXPECT_EQ(window.QRPreview().PageNumber(), 1);
  EXPECT_EQ(window.PageText(), "Page 1 of 2");
  EXPECT_FALSE(window.Button("PrintSetup")->isEnabled());
  EXPECT_TRUE(window.Button("Print")->isEnabled());
}

TEST_F(StandardPreviewTest, SaveWritesTheReportOrExportsThroughTheLibrary) {
  const TQRTextFilter registers_text_filter;
  TQRStandardPreview window(*printer_, Fakes());
  next_ = FileDialogResult{QString::fromStdString((dir_ / "copy.qrp").string()), 1};
  window.Button("SaveReport")->click();
  ASSERT_EQ(requests_.size(), 1U);
  EXPECT_EQ(requests_[0].title, "Save report");
  EXPECT_EQ(requests_[0].default_suffix, "QRP");
  ASSERT_GE(requests_[0].filters.size(), 2);
  EXPECT_EQ(requests_[0].filters[0], "Report file (*.QRP *.qrp)");
  EXPECT_EQ(requests_[0].filters[1], "Text file (*.TXT *.txt)");
  EXPECT_EQ(test::ReadFileBytes(dir_ / "copy.qrp"), test::ReadFileBytes(dir_ / "r5.qrp"));

  next_ = FileDialogResult{QString::fromStdString((dir_ / "out.txt").string()), 2};
  window.Button("SaveReport")->click();
  const std::string text = ReadText(dir_ / "out.txt");
  EXPECT_NE(text.find("Page 1"), std::string::npos) << text;
  EXPECT_NE(text.find("Page 5"), std::string::npos) << text;

  next_ = FileDialogResult{QString::fromStdString((dir_ / "none.x").string()), 40};
  window.Button("SaveReport")->click();
  EXPECT_FALSE(std::filesystem::exists(dir_ / "none.x"));
}

TEST_F(StandardPreviewTest, ClosingAsksTheMasterToClosePreviewAndFreesTheWindow) {
  test::MessageLog master;
  printer_->SetMaster(&master);
  TQRStandardPreviewInterface preview_interface;
  const QPointer<TQRStandardPreview> window(static_cast<TQRStandardPreview*>(preview_interface.Show(*printer_)));
  ASSERT_TRUE(window);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->PageText(), "Page 1 of 5");
  Key(&window->QRPreview(), Qt::Key_Escape);
  ASSERT_EQ(master.sent.size(), 1U);
  EXPECT_EQ(master.sent[0].msg, QRM_CLOSEPREVIEW);
  EXPECT_EQ(master.sent[0].lparam, reinterpret_cast<std::intptr_t>(printer_.get()));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(window);
  EXPECT_FALSE(printer_->ShowingPreview());
}

TEST_F(StandardPreviewTest, ShowModalReturnsOnceTheWindowIsClosed) {
  TQRStandardPreviewInterface preview_interface;
  QString title;
  QTimer::singleShot(0, QCoreApplication::instance(), [&] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* window = qobject_cast<TQRStandardPreview*>(top)) {
        title = window->PageText();
        window->Button("ExitButton")->click();
      }
    }
  });
  EXPECT_EQ(preview_interface.ShowModal(*printer_), nullptr);
  EXPECT_EQ(title, "Page 1 of 5");
  EXPECT_FALSE(printer_->ShowingPreview());
}

}  // namespace
}  // namespace pravel
