#include "export/loaded_report_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "export/csv_filter.h"
#include "export/html_filter.h"
#include "export/text_collector.h"
#include "platform/platform.h"
#include "report/test_files.h"
#include "support/scripted_printer_device.h"
#include "text_pages.h"

namespace pravel {
namespace {

using test::Canvas;
using test::kTenthsPerPixel;
using test::Text;
using test::UseFont;

// Logs the calls as "Start 2159x2794 Arial 8", "EndPage", "NewPage",
// "TextOut Left", "Finish" and keeps the TextOut arguments.
class CallLog final : public TQRExportFilter {
 public:
  explicit CallLog(bool unpaged = false) : TQRExportFilter(""), unpaged_(unpaged) {}

  bool Unpaged() const override { return unpaged_; }
  void Start(std::int32_t width, std::int32_t height, const Font& font) override {
    TQRExportFilter::Start(width, height, font);
    calls.push_back("Start " + std::to_string(width) + "x" + std::to_string(height) + " " + font.Name + " " +
                    std::to_string(font.Size));
  }
  void EndPage() override { calls.emplace_back("EndPage"); }
  void NewPage() override { calls.emplace_back("NewPage"); }
  void Finish() override {
    TQRExportFilter::Finish();
    calls.emplace_back("Finish");
  }
  void TextOut(long double x, long double y, const Font& font, ColorValue background, TextAlignment alignment,
               const std::string& text) override {
    calls.push_back("TextOut " + text);
    texts.push_back({x, y, font, background, alignment, text, {}});
  }

  const ExportText& Of(const std::string& text) const {
    const auto it = std::find_if(texts.begin(), texts.end(), [&](const ExportText& t) { return t.Text == text; });
    if (it == texts.end()) throw std::out_of_range(text);
    return *it;
  }

  std::vector<std::string> calls;
  std::vector<ExportText> texts;

 private:
  bool unpaged_;
};

// Makes Load install the loaded-report export while it lives.
struct RegisteredExport {
  RegisteredExport() { platform.ExportLoadedReport = ExportLoadedReport; }
  Platform platform;
};

// Page 1 in pixels: the alignments, faces and styles. Page 2 in 0.1 mm with
// y upwards, and a world transform turning the text upwards.
std::vector<gdi::Metafile> PlacementPages() {
  Canvas one(test::kLetterWidth, test::kLetterHeight);
  UseFont(one, u"Arial", -16);
  Text(one, 96, 48, "Left");
  Text(one, 480, 48, "Right", Canvas::kTaRight);
  Text(one, 288, 48, "Mid", Canvas::kTaCenter);
  Text(one, 96, 192, "Base", Canvas::kTaBaseline);
  Text(one, 96, 216, "glyphs", 0, 0x10);  // ETO_GLYPH_INDEX
  UseFont(one, u"Courier New", -24);
  Text(one, 96, 384, "Bottom", Canvas::kTaBottom);
  gdi::LogFontW styled;
  styled.face = u"Times New Roman";
  styled.height = -13;
  styled.weight = 700;
  styled.italic = styled.underline = styled.strike_out = true;
  one.SelectObject(one.CreateFont(styled));
  one.SetTextColor(0x0000FF);
  Text(one, 96, 432, "Styled");
  UseFont(one, u"Arial", 20);  // cell height
  one.SetTextColor(0x123456);
  one.SetBkMode(gdi::BackgroundMode::Opaque);
  one.SetBkColor(0x00FFFF);
  Text(one, 96, 528, "Cell", Canvas::kTaBaseline);

  Canvas two(test::kLetterWidth, test::kLetterHeight);
  two.SetMapMode(gdi::MapMode::LoMetric);
  UseFont(two, u"Arial", -42);
  Text(two, 500, -300, "Metric");
  UseFont(two, u"Arial", -100);
  two.SetWorldTransform({0, 1, -1, 0, 1000, -600});
  Text(two, 0, 0, "Up", Canvas::kTaBaseline);
  return {one.Finish(), two.Finish()};
}

class LoadedReportExport : public ::testing::Test {
 protected:
  void Load(const std::vector<gdi::Metafile>& pages) {
    test::WriteReport(dir / "r.qrp", pages);
    printer.Load((dir / "r.qrp").string());
  }

  test::TempDir dir;
  RegisteredExport registered;
  TQRPrinter printer{std::make_unique<ScriptedPrinterDevice>()};
};

TEST_F(LoadedReportExport, CallsInOrderWithPositionsInTenthsOfAMillimetre) {
  Load(PlacementPages());
  CallLog log;
  printer.ExportToFilter(log);

  EXPECT_EQ(log.calls,
            (std::vector<std::string>{"Start 2159x2794 Arial 8", "EndPage", "NewPage", "TextOut Left", "TextOut Right",
                                      "TextOut Mid", "TextOut Base", "TextOut Bottom", "TextOut Styled", "TextOut Cell",
                                      "EndPage", "NewPage", "TextOut Metric", "TextOut Up", "EndPage", "Finish"}));
  EXPECT_FALSE(log.Active());

  constexpr long double kEps = 1e-6L;
  const auto expect_at = [&](const std::string& text, long double x, long double y, TextAlignment alignment) {
    SCOPED_TRACE(text);
    const ExportText& t = log.Of(text);
    EXPECT_NEAR(t.X, x, kEps);
    EXPECT_NEAR(t.Y, y, kEps);
    EXPECT_EQ(t.Alignment, alignment);
  };
  // Anchors: left edge, right edge, centre; tops from the vertical alignment.
  const long double em16 = 16 * kTenthsPerPixel, em24 = 24 * kTenthsPerPixel;
  expect_at("Left", 254, 127, TextAlignment::LeftJustify);
  expect_at("Right", 1270, 127, TextAlignment::RightJustify);
  expect_at("Mid", 762, 127, TextAlignment::Center);
  expect_at("Base", 254, 508 - 0.905L * em16, TextAlignment::LeftJustify);
  expect_at("Bottom", 254, 1016 - (0.833L + 0.300L) * em24, TextAlignment::LeftJustify);
  expect_at("Cell", 254, (528 - 0.905L * 20 / 1.117L) * kTenthsPerPixel, TextAlignment::LeftJustify);
  expect_at("Metric", 500, 300, TextAlignment::LeftJustify);
  // Turned upwards: the top of the line lies to the left of the baseline.
  expect_at("Up", 1000 - 0.905L * 100, 600, TextAlignment::LeftJustify);

  const auto font = [&](const std::string& text) { return log.Of(text).Font; };
  EXPECT_EQ(font("Left"), (Font{"Arial", 12, 0, kColorBlack, 1}));
  EXPECT_EQ(font("Bottom").Size, 18);
  EXPECT_EQ(font("Styled"), (Font{"Times New Roman", 10,  // 13 pixels: 9.75 points
                                  kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut, kColorRed, 1}));
  EXPECT_EQ(font("Cell").Size, 13);  // a 20-pixel cell: 13.4 points
  EXPECT_EQ(font("Cell").Color, 0x123456);
  EXPECT_EQ(font("Metric").Size, 12);
  EXPECT_EQ(font("Up").Size, 28);
  EXPECT_EQ(log.Of("Left").BackgroundColor, kColorWhite);
  EXPECT_EQ(log.Of("Cell").BackgroundColor, 0x00FFFF);
}

TEST_F(LoadedReportExport, UnpagedFilterGetsOnePageWithLaterPagesBelow) {
  Load(PlacementPages());
  CallLog log(true);
  printer.ExportToFilter(log);
  ASSERT_GE(log.calls.size(), 4u);
  EXPECT_EQ(std::count(log.calls.begin(), log.calls.end(), "NewPage"), 1);
  EXPECT_EQ(std::vector<std::string>(log.calls.end() - 3, log.calls.end()),
            (std::vector<std::string>{"TextOut Up", "EndPage", "Finish"}));
  EXPECT_NEAR(log.Of("Metric").Y, 2794 + 300, 1e-6L);
  EXPECT_NEAR(log.Of("Left").Y, 127, 1e-6L);
}

TEST_F(LoadedReportExport, WritesCommaSeparatedText) {
  Load(test::TablePages());
  const std::string path = (dir / "out.csv").string();
  TQRCommaSeparatedFilter filter(path);
  printer.ExportToFilter(filter);
  const Bytes written = test::ReadFileBytes(path);
  EXPECT_EQ(std::string(written.begin(), written.end()),
            "\"Item\",\"Qty\",\"Note\"\r\n"
            "\"Zażółć\",\"12\",\"say \"\"hi\"\", <b> & co\"\r\n"
            "\"Total\",\"12\"\r\n");
}

TEST_F(LoadedReportExport, WritesAllPagesAsOneHtmlTable) {
  Load(test::TablePages());
  TQRHTMLDocumentFilter filter("");
  printer.ExportToFilter(filter);
  ASSERT_NE(filter.Stream(), nullptr);
  EXPECT_EQ(filter.Stream()->Data(),
            "<TABLE WIDTH=100% CELLPADDING=2 BORDER=0></TABLE>"
            "<TABLE WIDTH=100% CELLPADDING=2 BORDER=0>"
            "<TR><TD>Item</TD><TD>Qty</TD><TD>Note</TD></TR>\r\n"
            "<TR><TD>Zażółć</TD><TD>12</TD><TD><FONT COLOR=\"#FF0000\" SIZE=+3>"
            "say &quot;hi&quot;, &lt;b&gt; &amp; co</FONT></TD></TR>\r\n"
            "<TR><TD>Total</TD><TD>12</TD></TR>\r\n"
            "</TABLE>");
}

TEST_F(LoadedReportExport, ReportWithoutPagesStartsAndFinishes) {
  test::WriteReport(dir / "r.qrp", {});
  printer.Load((dir / "r.qrp").string());
  CallLog log;
  printer.ExportToFilter(log);
  EXPECT_EQ(log.calls, (std::vector<std::string>{"Start 2100x2970 Arial 8", "EndPage", "Finish"}));
}

TEST_F(LoadedReportExport, UnreadablePageEndsTheExportWithItsError) {
  test::WriteReport(dir / "r.qrp", test::TablePages());
  Bytes bytes = test::ReadFileBytes(dir / "r.qrp");
  const Bytes signature{' ', 'E', 'M', 'F'};
  auto second = std::search(bytes.begin(), bytes.end(), signature.begin(), signature.end());
  ASSERT_NE(second, bytes.end());
  second = std::search(second + 1, bytes.end(), signature.begin(), signature.end());
  ASSERT_NE(second, bytes.end());
  *second = 'X';
  test::WriteFileBytes(dir / "r.qrp", bytes);
  printer.Load((dir / "r.qrp").string());

  CallLog log;
  EXPECT_THROW(printer.ExportToFilter(log), EMetafileError);
  EXPECT_EQ(log.calls.back(), "EndPage");  // page 1 went out, Finish did not
  EXPECT_TRUE(log.Active());
}

}  // namespace
}  // namespace pravel
