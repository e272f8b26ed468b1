#include "export/html_filter.h"

#include <gtest/gtest.h>

#include "export_test_util.h"

namespace pravel {
namespace {

constexpr const char* kTable = "<TABLE WIDTH=100% CELLPADDING=2 BORDER=0>";

TEST(HtmlFilter, WritesOneTablePerPageWithFontElements) {
  test::ScratchFile file("page.htm");
  TQRHTMLDocumentFilter filter(file.Path());
  test::RunExport(filter, {{{100, 100, "Big red", TextAlignment::LeftJustify, test::ReportFont(14, kColorRed)},
                            {300, 100, "Plain"},
                            {100, 200, "Small", TextAlignment::LeftJustify, test::ReportFont(8)},
                            {300, 200, "Navy", TextAlignment::LeftJustify, test::ReportFont(10, kColorWindowText)}}});
  EXPECT_TRUE(filter.FileOutput());
  EXPECT_EQ(filter.Stream(), nullptr);
  EXPECT_EQ(file.Contents(), std::string(kTable) + "</TABLE>" + kTable +
                                 "<TR><TD><FONT COLOR=\"#FF0000\" SIZE=+2>Big red</FONT></TD><TD>Plain</TD></TR>\r\n"
                                 "<TR><TD><FONT  SIZE=-1>Small</FONT></TD>"
                                 "<TD><FONT COLOR=\"#000080\">Navy</FONT></TD></TR>\r\n"
                                 "</TABLE>");
}

TEST(HtmlFilter, EmptyFileNameKeepsTheDocumentInMemory) {
  TQRHTMLDocumentFilter filter("");
  test::RunExport(filter, {{{100, 100, "a < b & \"c\" > d"}, {100, 150, ""}}});
  EXPECT_FALSE(filter.FileOutput());
  ASSERT_NE(filter.Stream(), nullptr);
  EXPECT_EQ(filter.Stream()->Data(), std::string(kTable) + "</TABLE>" + kTable +
                                         "<TR><TD>a &lt; b &amp; &quot;c&quot; &gt; d</TD></TR>\r\n"
                                         "<TR><TD></TD></TR>\r\n"
                                         "</TABLE>");
}

TEST(HtmlFilter, RowsEndAtTheirLastText) {
  TQRHTMLDocumentFilter filter("");
  test::RunExport(filter, {{{100, 100, "A"}, {300, 100, "B"}, {100, 200, "C"}, {300, 300, "D"}}});
  ASSERT_NE(filter.Stream(), nullptr);
  EXPECT_EQ(filter.Stream()->Data(), std::string(kTable) + "</TABLE>" + kTable +
                                         "<TR><TD>A</TD><TD>B</TD></TR>\r\n"
                                         "<TR><TD>C</TD></TR>\r\n"
                                         "<TR><TD></TD><TD>D</TD></TR>\r\n"
                                         "</TABLE>");
}

TEST(HtmlFilter, ColourDigitsAreRedGreenBlue) {
  EXPECT_EQ(HtmlColorDigits(kColorRed), "FF0000");
  EXPECT_EQ(HtmlColorDigits(0x00336699), "996633");
  EXPECT_EQ(HtmlColorDigits(kColorWindowText), "000080");
}

TEST(HtmlFilter, SizeStepIsTheDifferenceOfSizeClasses) {
  EXPECT_EQ(HtmlSizeStep(14, 10), "+2");
  EXPECT_EQ(HtmlSizeStep(8, 9), "-1");
  EXPECT_EQ(HtmlSizeStep(11, 12), "+0");
  EXPECT_EQ(HtmlSizeStep(30, 8), "+7");
  EXPECT_EQ(HtmlSizeStep(1, 25), "-7");
}

}  // namespace
}  // namespace pravel
