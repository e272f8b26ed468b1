#include "engine/qr_report.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "printing/scripted_print_dialog.h"
#include "report/qr_printer_test_util.h"
#include "stub_measure.h"
#include "support/scripted_printer_device.h"

namespace pravel {
namespace {

// Records what a report's export run hands over.
class SinkLog final : public TQRExportSink {
 public:
  bool Active() const override { return active; }
  bool Unpaged() const override { return false; }
  void Start(std::int32_t width, std::int32_t height, const Font& font) override {
    if (fail_start) throw std::runtime_error("Cannot create file");
    active = true;
    calls.push_back("Start " + std::to_string(width) + " " + std::to_string(height) + " " + font.Name + " " +
                    std::to_string(font.Size));
  }
  void EndPage() override { calls.emplace_back("EndPage"); }
  void NewPage() override { calls.emplace_back("NewPage"); }
  void TextOut(long double x, long double y, const Font& font, ColorValue background, TQRAlignment alignment,
               const std::string& text) override {
    calls.push_back("TextOut " + std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y)) + " " +
                    std::to_string(font.Size) + " " + std::to_string(background) + " " +
                    std::to_string(static_cast<int>(alignment)) + " " + text);
  }
  void Finish() override {
    active = false;
    calls.emplace_back("Finish");
  }
  bool active = false;
  bool fail_start = false;
  std::vector<std::string> calls;
};

// What a print run's printer and device looked like when its progress
// window closed, just before the run's printer went.
struct RunRecord {
  bool shown = false;
  bool was_client = false;
  std::vector<JobCall> calls;
  std::vector<ScriptedSheet> sheets;
  std::int32_t copies = 0, first_page = 0, last_page = 0;
  TPrinterOrientation orientation = TPrinterOrientation::poPortrait;
  TQRBin bin = TQRBin::Auto;
  int printer_index = 0;
  std::int32_t paper_width = 0;
};

class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_.PrinterDevices = [] {
      return std::make_unique<ScriptedPrinterDevice>(
          std::vector{ScriptedA4Printer("Office"), ScriptedA4Printer("Plotter", 600)});
    };
    report_.Measure = test::StubMeasure();
    report_.SetReportTitle("Start page");
    report_.Items().emplace_back(TQRLabel{.Name = "Title",
                                          .Left = 0,
                                          .Top = 500,
                                          .Width = 2100,
                                          .Height = 100,
                                          .Caption = "Pravel",
                                          .Font = {.Name = "Arial", .Size = 26, .Color = kColorRed},
                                          .Alignment = TQRAlignment::Center,
                                          .AlignToBand = true});
    TQRImage picture{.Name = "Picture", .Left = 800, .Top = 700, .Width = 500, .Height = 600};
    picture.Picture.width = picture.Picture.height = 2;
    picture.Picture.pixels = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFF000000};
    report_.Items().emplace_back(picture);
    report_.Items().emplace_back(TQRLabel{.Name = "Notes",
                                          .Left = 100,
                                          .Top = 1400,
                                          .Width = 60,
                                          .Height = 200,
                                          .Caption = "abc def",
                                          .Transparent = true});
    report_.ProgressWindow = [this](TQRPrinter& printer, bool show) {
      auto record = std::make_shared<RunRecord>();
      record->shown = show;
      printer.SetClient(&progress_client_);
      return std::shared_ptr<void>(record.get(), [this, record, &printer](void*) {
        record->was_client = printer.Client() == &progress_client_;
        if (auto* device = dynamic_cast<ScriptedPrinterDevice*>(&printer.PrinterDevice())) {
          record->calls = device->Calls();
          record->sheets = device->SheetsDrawn();
        }
        record->copies = printer.Copies();
        record->first_page = printer.FirstPage();
        record->last_page = printer.LastPage();
        record->orientation = printer.Orientation();
        record->bin = printer.OutputBin();
        record->printer_index = printer.PrinterIndex();
        record->paper_width = printer.PaperWidth();
        runs_.push_back(*record);
      });
    };
  }

  Platform platform_;
  test::MessageLog progress_client_;
  std::vector<RunRecord> runs_;
  TQRReport report_;
};

TEST_F(ReportTest, PreviewMakesAFreshPrinterWithHooksAndGeneratesOnePage) {
  std::vector<TQRPrinter*> previewed;
  report_.OnPreview = [&](TQRPrinter& printer) {
    previewed.push_back(&printer);
    EXPECT_EQ(printer.Status(), TQRPrinterStatus::Ready);  // shown before it is generated
  };
  const test::ScriptedPrintDialog dialog;
  report_.Preview();
  ASSERT_EQ(previewed.size(), 1U);
  TQRPrinter* printer = report_.QRPrinter();
  ASSERT_EQ(printer, previewed[0]);
  EXPECT_EQ(printer->Master(), &report_);
  EXPECT_EQ(printer->Status(), TQRPrinterStatus::Finished);
  EXPECT_EQ(printer->Destination(), TQRPrinterDestination::Metafile);
  EXPECT_EQ(printer->PageCount(), 1);
  EXPECT_EQ(printer->Title(), "");
  EXPECT_EQ(printer->PaperWidth(), 2100);
  EXPECT_EQ(printer->PaperLength(), 2970);
  ASSERT_TRUE(printer->GetPage(1).has_value());
  printer->PrintSetup();
  EXPECT_EQ(dialog.Requests().size(), 1U);

  EXPECT_TRUE(printer->OnExportToFilter);

  // A second preview replaces the printer and keeps its Client.
  test::MessageLog client;
  printer->SetClient(&client);
  report_.Preview();
  ASSERT_EQ(previewed.size(), 2U);
  EXPECT_EQ(report_.QRPrinter()->Client(), &client);
  // Page 1 announced to the Client by EndDoc.
  ASSERT_FALSE(client.posted.empty());
  EXPECT_EQ(client.posted.back(), (Message{QRM_PAGEAVAILABLE, 1, 0}));
  report_.QRPrinter()->SetClient(nullptr);
}

TEST_F(ReportTest, PreviewWaitsWhileItsPrinterIsShown) {
  report_.OnPreview = [](TQRPrinter& printer) { printer.SetShowingPreview(true); };
  int waits = 0;
  report_.WaitMessages = [&] {
    if (++waits == 3) report_.QRPrinter()->SetShowingPreview(false);
    return true;
  };
  report_.Preview();
  EXPECT_EQ(waits, 3);

  // QRM_CLOSEPREVIEW for another printer changes nothing; for the shown one
  // it ends the waiting.
  waits = 0;
  report_.WaitMessages = [&] {
    ++waits;
    report_.Send({QRM_CLOSEPREVIEW, 0, waits == 1 ? 1 : reinterpret_cast<std::intptr_t>(report_.QRPrinter())});
    return true;
  };
  report_.Preview();
  EXPECT_EQ(waits, 2);
  EXPECT_TRUE(report_.QRPrinter()->ShowingPreview());

  // The program ending stops the waiting too.
  waits = 0;
  report_.WaitMessages = [&] { return ++waits < 2; };
  report_.Preview();
  EXPECT_EQ(waits, 2);
}

TEST_F(ReportTest, QrmPrintProducesOnThePrinterWithTheReportsSettings) {
  TQRReportPrinterSettings& settings = report_.PrinterSettings();
  settings.SetPrinterIndex(1);
  settings.SetCopies(3);
  settings.SetOutputBin(TQRBin::Manual);
  settings.SetFirstPage(1);
  settings.SetLastPage(1);
  report_.Page().Orientation = TPrinterOrientation::poLandscape;
  report_.Preview();
  // Print of the previewed printer asks its Master to print again.
  report_.QRPrinter()->Print();
  ASSERT_EQ(runs_.size(), 1U);
  const RunRecord& run = runs_[0];
  EXPECT_TRUE(run.shown);
  EXPECT_TRUE(run.was_client);
  EXPECT_EQ(run.printer_index, 1);
  EXPECT_EQ(run.copies, 3);
  EXPECT_EQ(run.orientation, TPrinterOrientation::poLandscape);
  EXPECT_EQ(run.paper_width, 2970);
  EXPECT_EQ(run.bin, TQRBin::Manual);
  EXPECT_EQ(run.first_page, 1);
  EXPECT_EQ(run.last_page, 1);
  ASSERT_FALSE(run.calls.empty());
  EXPECT_EQ(run.calls.front(), (JobCall{JobStep::BeginDoc, "Start page"}));
  EXPECT_EQ(run.calls.back().Step, JobStep::EndDoc);
  ASSERT_EQ(run.sheets.size(), 1U);
  const ScriptedSheet& sheet = run.sheets[0];
  EXPECT_EQ(sheet.Texts, (std::vector<std::u16string>{u"Pravel", u"abc", u"def"}));
  EXPECT_EQ(sheet.Images, 1);
  EXPECT_GE(sheet.Shapes, 1);  // the opaque label's background

  // Without progress window and with ShowProgress off.
  report_.SetShowProgress(false);
  report_.WndProc({QRM_PRINT, 0, 0});
  ASSERT_EQ(runs_.size(), 2U);
  EXPECT_FALSE(runs_[1].shown);
}

TEST_F(ReportTest, RunExportHandsTheLabelLinesToTheSinkAndDrawsNothing) {
  SinkLog sink;
  report_.ProgressWindow = nullptr;
  report_.RunExport(sink);
  EXPECT_FALSE(report_.Exporting());
  const std::string white = std::to_string(kColorWhite);
  EXPECT_EQ(sink.calls, (std::vector<std::string>{
                            "Start 2100 2970 Arial 8",
                            "EndPage",
                            "NewPage",
                            "TextOut 1050 500 26 " + white + " 2 Pravel",
                            "TextOut 100 1400 8 " + white + " 0 abc",
                            "TextOut 100 1450 8 " + white + " 0 def",
                            "EndPage",
                            "Finish",
                        }));
  EXPECT_EQ(report_.QRPrinter(), nullptr);  // the run's printer is gone

  // An error in the run reaches the caller and leaves the report ready for
  // the next run.
  SinkLog failing;
  failing.fail_start = true;
  EXPECT_THROW(report_.RunExport(failing), std::runtime_error);
  EXPECT_FALSE(report_.Exporting());
  SinkLog again;
  report_.RunExport(again);
  EXPECT_EQ(again.calls.size(), 8U);
}

}  // namespace
}  // namespace pravel
