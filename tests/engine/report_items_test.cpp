#include "engine/report_items.h"

#include <gtest/gtest.h>

#include "engine/report_canvas.h"
#include "stub_measure.h"

namespace pravel {
namespace {

using Lines = std::vector<std::string>;

Lines Wrap(const std::string& text, long double width, bool word_wrap = true) {
  return WrapText(text, Font{}, width, word_wrap, test::StubMeasure());
}

TEST(WrapTextTest, BreaksAtBlanksLineBreaksAndInsideOverlongWords) {
  EXPECT_EQ(Wrap("view and print", 140), (Lines{"view and print"}));
  EXPECT_EQ(Wrap("view and print", 139), (Lines{"view and", "print"}));
  // Blanks at a break are dropped; a blank that overflows is a break too.
  EXPECT_EQ(Wrap("abc   def", 30), (Lines{"abc", "def"}));
  EXPECT_EQ(Wrap("abcdefgh ij", 30), (Lines{"abc", "def", "gh", "ij"}));
  EXPECT_EQ(Wrap("one\r\ntwo\n\nthree", 1000), (Lines{"one", "two", "", "three"}));
  EXPECT_EQ(Wrap("", 100), (Lines{""}));
  // Without word wrap only line breaks split; a zero width still makes
  // progress one character a line.
  EXPECT_EQ(Wrap("a long line", 10, false), (Lines{"a long line"}));
  EXPECT_EQ(Wrap("ab", 0), (Lines{"a", "b"}));
  // Characters, not bytes, are measured and kept whole.
  EXPECT_EQ(Wrap("żółw żółw", 40), (Lines{"żółw", "żółw"}));
}

TEST(LabelLinesTest, AnchorsFollowTheAlignment) {
  TQRLabel label{.Left = 200, .Top = 300, .Width = 400, .Height = 200, .Caption = "one two three"};
  const TQRPage page;
  const auto anchors = [&] {
    std::vector<std::pair<long double, long double>> at;
    for (const TQRPrintedLine& line : LabelLines(label, page, test::StubMeasure())) at.emplace_back(line.X, line.Y);
    return at;
  };
  using At = std::vector<std::pair<long double, long double>>;
  EXPECT_EQ(anchors(), (At{{200, 300}}));
  label.Alignment = TQRAlignment::RightJustify;
  EXPECT_EQ(anchors(), (At{{600, 300}}));
  label.Alignment = TQRAlignment::Center;
  EXPECT_EQ(anchors(), (At{{400, 300}}));
  // Across the report: between the margins of the paper in its orientation.
  label.AlignToBand = true;
  EXPECT_EQ(anchors(), (At{{1050, 300}}));
  TQRPage landscape;
  landscape.Orientation = TPrinterOrientation::poLandscape;
  landscape.LeftMargin = 300;
  EXPECT_EQ(LabelLines(label, landscape, test::StubMeasure()).front().X, (300 + 2970 - 100) / 2.0L);
}

TEST(LabelLinesTest, WrappedLinesStopAtTheBoxBottom) {
  TQRLabel label{.Left = 0, .Top = 100, .Width = 50, .Height = 101, .Caption = "aaaa bbbb cccc dddd"};
  std::vector<TQRPrintedLine> lines = LabelLines(label, TQRPage{}, test::StubMeasure());
  ASSERT_EQ(lines.size(), 3U);  // tops at 100, 150 and 200 start inside the box
  EXPECT_EQ(lines[2].Text, "cccc");
  EXPECT_EQ(lines[2].Y, 200);
  // A box lower than one line still prints its first.
  label.Height = 10;
  lines = LabelLines(label, TQRPage{}, test::StubMeasure());
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_EQ(lines[0].Text, "aaaa");
}

TEST(PictureRectTest, CentredAtItsOwnSizeOrScaledDownToTheFrame) {
  TQRImage image{.Left = 800, .Top = 1000, .Width = 500, .Height = 600};
  image.Picture.width = 96;  // one inch: 254
  image.Picture.height = 48;
  const TQRRect at = PictureRect(image);
  EXPECT_EQ(at.Width, 254);
  EXPECT_EQ(at.Height, 127);
  EXPECT_EQ(at.Left, 800 + (500 - 254) / 2.0L);
  EXPECT_EQ(at.Top, 1000 + (600 - 127) / 2.0L);

  image.Picture.width = 960;  // ten inches, kept in proportion
  const TQRRect scaled = PictureRect(image);
  EXPECT_NEAR(static_cast<double>(scaled.Width), 500.0, 1e-9);
  EXPECT_NEAR(static_cast<double>(scaled.Height), 25.0, 1e-9);
  EXPECT_NEAR(static_cast<double>(scaled.Left), 800.0, 1e-9);
  EXPECT_NEAR(static_cast<double>(scaled.Top), 1000 + (600 - 25) / 2.0, 1e-9);
}

TEST(PixelAdvancesTest, RoundingErrorsDoNotAddUp) {
  // 0.4 pixel each: positions 0, 0.4, 0.8, 1.2, 1.6, 2.0 rounded.
  EXPECT_EQ(PixelAdvances({10, 10, 10, 10, 10}, 0.04L), (std::vector<std::int32_t>{0, 1, 0, 1, 0}));
}

}  // namespace
}  // namespace pravel
