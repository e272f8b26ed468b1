// The main window's save-as, print and printer-setup commands.

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <fstream>
#include <sstream>

#include "engine/qr_report.h"
#include "export/loaded_report_export.h"
#include "platform/platform.h"
#include "platform/qt/test_home.h"
#include "preview/error_handler.h"
#include "preview/qr_preview.h"
#include "printing/scripted_print_dialog.h"
#include "report/preview_interface.h"
#include "report/qr_printer.h"
#include "report/qr_printer_test_util.h"
#include "report/test_files.h"
#include "support/scripted_printer_device.h"
#include "test_application.h"
#include "viewer/konsola.h"
#include "viewer/start_page_form.h"

namespace pravel {
namespace {

using test::DrawnPages;

QString Path(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Counts the windows the preview interface is asked for.
struct CountingPreview final : TQRPreviewInterface {
  explicit CountingPreview(int& modal) : modal_(modal) {}
  PreviewWindow Show(TQRPrinter&) override { return nullptr; }
  PreviewWindow ShowModal(TQRPrinter&) override {
    ++modal_;
    return nullptr;
  }
  int& modal_;
};

class SavePrintTest : public ::testing::Test {
 protected:
  Platform platform_;

  void SetUp() override {
    EnsureApplication();
    platform_.ExportLoadedReport = ExportLoadedReport;
    platform_.ShowError = [this](const std::string& message) { errors_.push_back(QString::fromStdString(message)); };
    platform_.PrinterDevices = [this] {
      auto device = std::make_unique<ScriptedPrinterDevice>(
          std::vector{ScriptedA4Printer("Office"), ScriptedA4Printer("Lab", 600)});
      devices_.push_back(device.get());
      return device;
    };
    platform_.PreviewClass = [this] { return std::make_unique<CountingPreview>(modal_previews_); };
    test::WriteReport(dir_ / "r3.qrp", DrawnPages(3));
    test::WriteReport(dir_ / "r12.qrp", DrawnPages(12));
  }
  void TearDown() override { window_.reset(); }

  Dialogs FakeDialogs() {
    return {.OpenFile = [this](QWidget*, const OpenDialogRequest&) { return next_open_; },
            .SaveFile =
                [this](QWidget*, const FileDialogRequest& request) {
                  save_requests_.push_back(request);
                  return next_save_;
                },
            .ShowMessage = [](QWidget*, const MessageRequest&) {},
            .ShowModal = [](QDialog&) {},
            .AskPage = {}};
  }

  TFKonsolaPravel& Start(const std::string& file) {
    window_ = std::make_unique<TFKonsolaPravel>(QStringList{Path(dir_ / file)}, FakeDialogs());
    window_->SetStartPage(&report_);
    window_->show();
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    return *window_;
  }
  void SaveAs(const std::string& name, int type) {
    next_save_ = FileDialogResult{Path(dir_ / name), type};
    window_->findChild<QAction*>("Zapiszjako1")->trigger();
  }
  // The device of the report printer shown in the window.
  ScriptedPrinterDevice& ShownDevice() const {
    return static_cast<ScriptedPrinterDevice&>(window_->QRPreview1().QRPrinter()->PrinterDevice());
  }

  qt::TestHome home_;
  test::TempDir dir_;
  TQRReport report_;
  test::ScriptedPrintDialog dialog_;
  std::unique_ptr<TFKonsolaPravel> window_;
  std::vector<ScriptedPrinterDevice*> devices_;  // each valid while its printer lives
  std::vector<QString> errors_;
  std::vector<FileDialogRequest> save_requests_;
  std::optional<FileDialogResult> next_save_;
  std::optional<QString> next_open_;
  int modal_previews_ = 0;
};

TEST_F(SavePrintTest, SaveAsReportWritesAnExactCopy) {
  TFKonsolaPravel& window = Start("r3.qrp");
  SaveAs("copy.qrp", 1);
  ASSERT_EQ(save_requests_.size(), 1U);
  EXPECT_EQ(save_requests_[0].title, "");
  EXPECT_EQ(save_requests_[0].filters,
            (QStringList{"Report files (*.qrp)", "ASCII text (*.txt)", "CSV (*.csv)", "HTML Document (*.htm)"}));
  EXPECT_EQ(save_requests_[0].default_suffix, "qrp");
  EXPECT_TRUE(errors_.empty());
  EXPECT_EQ(test::ReadFileBytes(dir_ / "copy.qrp"), test::ReadFileBytes(dir_ / "r3.qrp"));

  // Onto the loaded file itself: refused, and the report stays shown.
  const Bytes before = test::ReadFileBytes(dir_ / "r3.qrp");
  SaveAs("r3.qrp", 1);
  ASSERT_EQ(errors_.size(), 1U);
  EXPECT_TRUE(errors_[0].startsWith("Cannot create file \"" + Path(dir_ / "r3.qrp") + "\". "))
      << errors_[0].toStdString();
  EXPECT_EQ(test::ReadFileBytes(dir_ / "r3.qrp"), before);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.FilePrinter()->Status(), TQRPrinterStatus::Finished);
  window.sbNextPageClick();
  EXPECT_TRUE(window.QRPreview1().PageImage().ImageOK());
  EXPECT_EQ(window.QRPreview1().PageNumber(), 2);

  // Cancelled: nothing.
  next_save_.reset();
  window.Zapiszjako1Click();
  EXPECT_EQ(dir_.Names().size(), 3U);
}

TEST_F(SavePrintTest, SaveAsExportsTheLoadedReportsText) {
  Start("r3.qrp");
  SaveAs("out.csv", 3);
  EXPECT_EQ(ReadText(dir_ / "out.csv"), "\"Page 1\"\r\n\"Page 2\"\r\n\"Page 3\"\r\n");
  SaveAs("out.htm", 4);
  EXPECT_EQ(ReadText(dir_ / "out.htm"),
            "<TABLE WIDTH=100% CELLPADDING=2 BORDER=0></TABLE><TABLE WIDTH=100% CELLPADDING=2 BORDER=0>"
            "<TR><TD><FONT  SIZE=+2>Page 1</FONT></TD></TR>\r\n"
            "<TR><TD><FONT  SIZE=+2>Page 2</FONT></TD></TR>\r\n"
            "<TR><TD><FONT  SIZE=+2>Page 3</FONT></TD></TR>\r\n"
            "</TABLE>");
  EXPECT_TRUE(errors_.empty());
}

TEST_F(SavePrintTest, TheStartPageExportsAndReprintsWithTheChosenSettings) {
  TForm1 form1;
  form1.QRReport1().Preview();  // previewed nowhere: returns once made
  window_ = std::make_unique<TFKonsolaPravel>(QStringList{}, FakeDialogs());
  window_->SetStartPage(&form1.QRReport1());
  window_->QRPreview1().SetQRPrinter(form1.QRReport1().QRPrinter());

  SaveAs("start.csv", 3);
  const std::string csv = ReadText(dir_ / "start.csv");
  EXPECT_NE(csv.find("\"Pravel\""), std::string::npos) << csv;
  EXPECT_NE(csv.find("\"pravel.example.org\""), std::string::npos) << csv;
  SaveAs("start.htm", 4);
  const std::string html = ReadText(dir_ / "start.htm");
  EXPECT_NE(html.find("Pravel</"), std::string::npos) << html;
  EXPECT_NE(html.find("v.1.2"), std::string::npos) << html;

  dialog_.Accept([](PrintDlgRequest& reply) { reply.nCopies = 2; });
  const std::size_t devices = devices_.size();
  window_->Zamknij1Click();
  EXPECT_EQ(form1.QRReport1().Tag(), 0);
  EXPECT_EQ(form1.QRReport1().PrinterSettings().Copies(), 2);
  EXPECT_EQ(dialog_.Requests().at(0).nMaxPage, 1);
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  // The start page made its page again for a printer of its own (gone
  // with its run).
  EXPECT_EQ(devices_.size(), devices + 1);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(SavePrintTest, SaveAsTextOpensThePreviewAndWritesNoFile) {
  Start("r3.qrp");
  SaveAs("out.txt", 2);
  EXPECT_EQ(modal_previews_, 1);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "out.txt"));
  SaveAs("other.x", 5);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "other.x"));
  EXPECT_TRUE(errors_.empty());
}

TEST_F(SavePrintTest, PrintPrintsTheLoadedReport) {
  Start("r3.qrp");
  window_->Drukuj1Click();
  EXPECT_TRUE(errors_.empty());
  EXPECT_EQ(ShownDevice().SheetsPrinted(), 3);
  EXPECT_EQ(ShownDevice().Calls().front().Title, (dir_ / "r3.qrp").string());
}

TEST_F(SavePrintTest, PrinterSetupPrintsTheChosenPagesOfTheLoadedReport) {
  Start("r12.qrp");
  dialog_.Accept(test::PagesChoice(3, 5));
  window_->Zamknij1Click();
  const PrintDlgRequest& request = dialog_.Requests().at(0);
  EXPECT_EQ(request.nMinPage, 1);
  EXPECT_EQ(request.nMaxPage, 12);
  EXPECT_EQ(request.nFromPage, 1);
  EXPECT_EQ(request.nToPage, 12);
  EXPECT_EQ(report_.Tag(), 0);
  EXPECT_EQ(report_.PrinterSettings().FirstPage(), 3);
  EXPECT_EQ(report_.PrinterSettings().LastPage(), 5);
  EXPECT_EQ(ShownDevice().SheetsPrinted(), 3);
  ASSERT_EQ(ShownDevice().SheetsDrawn().size(), 3U);
  EXPECT_EQ(ShownDevice().SheetsDrawn()[0].Texts, std::vector<std::u16string>{u"Page 3"});

  dialog_.Accept();
  ShownDevice().ClearRecords();
  window_->Zamknij1Click();
  EXPECT_EQ(report_.PrinterSettings().FirstPage(), 0);
  EXPECT_EQ(report_.PrinterSettings().LastPage(), 0);
  EXPECT_EQ(ShownDevice().SheetsPrinted(), 12);
}

TEST_F(SavePrintTest, PrinterSetupCancelledPrintsNothing) {
  Start("r3.qrp");
  dialog_.Cancel();
  window_->Zamknij1Click();
  EXPECT_EQ(report_.Tag(), 1);
  EXPECT_TRUE(ShownDevice().Calls().empty());
}

TEST_F(SavePrintTest, PrinterSetupCarriesPrinterAndCopiesOver) {
  Start("r3.qrp");
  dialog_.Accept([](PrintDlgRequest& reply) {
    reply.hDevNames = MakeDeviceNamesBlock({"scripted", "Lab", "script:", false});
    reply.hDevMode->dmCopies = 3;  // and one copy returned
  });
  window_->Zamknij1Click();
  EXPECT_EQ(report_.PrinterSettings().Copies(), 3);
  EXPECT_EQ(report_.PrinterSettings().PrinterIndex(), 1);
  EXPECT_EQ(ShownDevice().PrinterIndex(), 1);
  ASSERT_FALSE(ShownDevice().Selections().empty());
  const PrinterSelection& job = ShownDevice().Selections().back();
  EXPECT_EQ(job.Device, "Lab");
  ASSERT_TRUE(job.Mode);
  EXPECT_EQ(job.Mode->dmCopies, 3);
  EXPECT_EQ(job.Mode->dmPaperSize, 9);  // the report's A4
  EXPECT_EQ(ShownDevice().SheetsPrinted(), 3);

  // Opening another report starts it from every page again.
  window_->QRPreview1().QRPrinter()->SetFirstPage(2);
  next_open_ = Path(dir_ / "r12.qrp");
  window_->Otwrz1Click();
  EXPECT_EQ(window_->QRPreview1().QRPrinter()->PageCount(), 12);
  EXPECT_EQ(window_->QRPreview1().QRPrinter()->FirstPage(), 0);
}

TEST_F(SavePrintTest, PrinterSetupErrorsReachTheHandlerAndPrintNothing) {
  Start("r3.qrp");
  report_.PrinterSettings().SetPrinterIndex(7);
  dialog_.Accept();
  window_->findChild<QAction*>("Zamknij1")->trigger();
  ASSERT_EQ(errors_.size(), 1U);
  EXPECT_EQ(errors_[0], "Printer index out of range");
  EXPECT_EQ(report_.Tag(), -1);
  EXPECT_TRUE(dialog_.Requests().empty());
  EXPECT_TRUE(ShownDevice().Calls().empty());
}

}  // namespace
}  // namespace pravel
