#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <array>
#include <fstream>
#include <sstream>
#include <string_view>

#include "export/csv_filter.h"
#include "export/loaded_report_export.h"
#include "export/text_collector.h"
#include "platform/platform.h"
#include "platform/qt/test_home.h"
#include "preview/error_handler.h"
#include "preview/qr_preview.h"
#include "report/test_files.h"
#include "support/scripted_printer_device.h"
#include "test_application.h"
#include "viewer/konsola.h"
#include "viewer/start_page_form.h"

namespace pravel {
namespace {

constexpr std::array<std::string_view, 4> kLines = {"Pravel", "v.1.2", "view and print saved report *.qrp files",
                                                    "pravel.example.org"};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class StartPageTest : public ::testing::Test {
 protected:
  Platform platform_;

  void SetUp() override {
    EnsureApplication();
    platform_.ShowError = [this](const std::string& message) { errors_.push_back(QString::fromStdString(message)); };
  }

  qt::TestHome home_;
  test::TempDir dir_;
  std::vector<QString> errors_;
};

// The texts of the page as a filter gets them, checked against the layout:
// centred on the page, tops at the labels' tops.
void ExpectStartTexts(const std::vector<ExportText>& texts) {
  const double tolerance = 4;
  ASSERT_EQ(texts.size(), kLines.size());
  const long double tops[] = {679.1L, 820.2L, 890.8L, 1737.4L};
  const int sizes[] = {26, 14, 14, 20};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE(kLines[i]);
    EXPECT_EQ(texts[i].Text, kLines[i]);
    EXPECT_EQ(texts[i].Alignment, TextAlignment::Center);
    EXPECT_NEAR(static_cast<double>(texts[i].X), 1050.0, tolerance);
    EXPECT_NEAR(static_cast<double>(texts[i].Y), static_cast<double>(tops[i]), tolerance);
    EXPECT_EQ(texts[i].Font.Name, "Arial");
    EXPECT_EQ(texts[i].Font.Size, sizes[i]);
    EXPECT_TRUE(texts[i].Font.Italic());
    EXPECT_EQ(texts[i].Font.Bold(), i == 0);
    EXPECT_EQ(ColorToRgb(texts[i].Font.Color), i == 0 ? 0x0000FFu : 0u);
  }
}

TEST_F(StartPageTest, GeneratesOneA4PageWhoseTextsExport) {
  TForm1 form1;  // previewed nowhere: Preview returns once the page is made
  TQRReport& report = form1.QRReport1();
  report.Preview();
  TQRPrinter* printer = report.QRPrinter();
  ASSERT_NE(printer, nullptr);
  EXPECT_EQ(printer->Status(), TQRPrinterStatus::Finished);
  ASSERT_EQ(printer->PageCount(), 1);

  // Saved and loaded again: one A4 page whose texts sit where the layout
  // puts them.
  const std::filesystem::path file = dir_ / "start.qrp";
  printer->Save(file.string());
  TQRPrinter loaded;
  loaded.Load(file.string());
  ASSERT_EQ(loaded.PageCount(), 1);
  EXPECT_EQ(loaded.PaperSize(), TQRPaperSize::A4);
  const std::optional<gdi::Metafile> page = loaded.GetPage(1);
  ASSERT_TRUE(page.has_value());
  ExpectStartTexts(CollectTexts(*page, {0, 0, 2100, 2970}));

  TQRCommaSeparatedFilter csv((dir_ / "loaded.csv").string());
  ExportLoadedReport(loaded, csv);
  std::string expected;
  for (const std::string_view line : kLines) expected += "\"" + std::string(line) + "\"\r\n";
  EXPECT_EQ(ReadFile(dir_ / "loaded.csv"), expected);

  // The report's own export run, through the export hook of its printer,
  // hands the four labels' lines to the filter.
  TQRCommaSeparatedFilter generated((dir_ / "generated.csv").string());
  printer->ExportToFilter(generated);
  EXPECT_EQ(ReadFile(dir_ / "generated.csv"), expected);
  EXPECT_FALSE(report.Exporting());
  EXPECT_EQ(report.QRPrinter(), printer);
}

// Print of the shown start page asks Form1's report, through a posted
// message, to produce the page again on the printer, with a progress window.
TEST_F(StartPageTest, PrintingProducesThePageAgainOnThePrinter) {
  platform_.PrinterDevices = [] {
    return std::make_unique<ScriptedPrinterDevice>(std::vector{ScriptedA4Printer("Office")});
  };
  {
    TForm1 form1;
    TQRReport& report = form1.QRReport1();
    report.SetReportTitle("Pravel start");
    report.Preview();
    const TQRReport::ProgressWindowFactory make_progress = report.ProgressWindow;
    bool followed = false;
    std::string title;
    std::vector<std::u16string> texts;
    report.ProgressWindow = [&](TQRPrinter& printer, bool show) {
      std::shared_ptr<void> form = make_progress(printer, show);
      followed = show && printer.Client() != nullptr;
      return std::shared_ptr<void>(form.get(), [form, &printer, &title, &texts](void*) mutable {
        const auto& device = dynamic_cast<const ScriptedPrinterDevice&>(printer.PrinterDevice());
        if (!device.Calls().empty()) title = device.Calls().front().Title;
        for (const ScriptedSheet& sheet : device.SheetsDrawn())
          texts.insert(texts.end(), sheet.Texts.begin(), sheet.Texts.end());
        form.reset();
      });
    };
    report.QRPrinter()->Print();
    EXPECT_TRUE(texts.empty());  // posted, not handled yet
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    EXPECT_TRUE(followed);
    EXPECT_EQ(title, "Pravel start");
    EXPECT_EQ(texts, (std::vector<std::u16string>{u"Pravel", u"v.1.2", u"view and print saved report *.qrp files",
                                                  u"pravel.example.org"}));
    EXPECT_TRUE(errors_.empty());
  }
}

// Started without a file, the window previews the start page and stays in
// that preview until the window closes.
TEST_F(StartPageTest, WindowWithoutAFileShowsTheStartPageAtPageWidth) {
  auto window = std::make_unique<TFKonsolaPravel>(QStringList{}, Dialogs{});
  TForm1 form1(window.get());
  window->SetStartPage(&form1.QRReport1());
  bool checked = false;
  QTimer poll;
  QElapsedTimer since;
  since.start();
  QObject::connect(&poll, &QTimer::timeout, window.get(), [&] {
    TQRPreview& preview = window->QRPreview1();
    if (!preview.PageImage().ImageOK() && since.elapsed() < 5000) return;
    poll.stop();
    EXPECT_TRUE(preview.PageImage().ImageOK());
    EXPECT_EQ(preview.QRPrinter(), form1.QRReport1().QRPrinter());
    EXPECT_EQ(preview.ZoomMode(), TQRZoomMode::Width);
    EXPECT_EQ(window->findChild<QLineEdit*>("Edit1")->text(), "1 z 1");
    EXPECT_EQ(window->StatusText(), "Stron: 1");
    checked = true;
    window->close();
  });
  poll.start(20);
  // Showing starts the window; its start-up runs inside one of these calls
  // and returns only once the window has closed.
  window->show();
  while (!checked && since.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  EXPECT_TRUE(checked);
  EXPECT_EQ(window->QRPreview1().QRPrinter(), nullptr);
  EXPECT_TRUE(errors_.empty());
}

}  // namespace
}  // namespace pravel
