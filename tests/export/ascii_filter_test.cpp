#include "export/ascii_filter.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "export/io_error.h"
#include "export_test_util.h"

namespace pravel {
namespace {

// With a 36-point report font a line is exactly 127 tenths of a millimetre high.
constexpr long double kCell = 127.0L;
long double ColumnX(long double column) { return column * kCell / 1.7L; }

std::string Export(const std::vector<test::Page>& pages, int font_size = 36, std::int32_t paper_height = 2970) {
  test::ScratchFile file("page.txt");
  TQRAsciiExportFilter filter(file.Path());
  test::RunExport(filter, pages, test::ReportFont(font_size), paper_height);
  return file.Contents();
}

TEST(AsciiFilter, CellAndPageLinesFollowTheReportFont) {
  test::ScratchFile file("cell.txt");
  TQRAsciiExportFilter filter(file.Path());
  filter.Start(2100, 2970, test::ReportFont(8));
  EXPECT_NEAR(static_cast<double>(filter.CellSize()), 28.2222, 1e-4);
  EXPECT_EQ(filter.PageLines(), 105);
  filter.Finish();
}

TEST(AsciiFilter, PlacesTextsOnTheCharacterGrid) {
  // 8 points: X = 100, Y = 100 give C = 6.02, R = 3.54, so line 4, column 6;
  // the second text starts line 4 (R = 4.0) in column 1.
  EXPECT_EQ(Export({{{100, 100, "Hello"}, {16.6L, 112.9L, "ab"}, {16.6L, 90, "up"}}}, 8),
            "up\r\n"
            "ab   Hello\r\n");
  // Rows round halves upwards: 2.5 lines down is line 3, together with 3.0.
  EXPECT_EQ(Export({{{ColumnX(1), 317.5L, "x"}, {ColumnX(3), 381, "y"}}}), "x y\r\n");
}

TEST(AsciiFilter, RightJustifiedTextEndsAtItsAnchor) {
  EXPECT_EQ(Export({{{ColumnX(20), 127, "abcd", TextAlignment::RightJustify},
                     {ColumnX(20), 254, "Łódź", TextAlignment::RightJustify},
                     {ColumnX(20), 381, "ab", TextAlignment::Center}}}),
            std::string(15, ' ') + "abcd\r\n" + std::string(15, ' ') + "Łódź\r\n" + std::string(19, ' ') + "ab\r\n");
}

TEST(AsciiFilter, LaterTextOverwritesOrGoesInFront) {
  EXPECT_EQ(Export({{{ColumnX(1), 127, "Hello world"},
                     {ColumnX(7), 127, "HEY"},
                     {ColumnX(1), 254, "żółw"},
                     {ColumnX(2), 254, "ą"},
                     {0, 381, "abc"},
                     {-50, 381, "Z"}}}),
            "Hello HEYld\r\n"
            "żąłw\r\n"
            "Zabc\r\n");
}

TEST(AsciiFilter, EmptyTextBeyondTheEndPadsWithSpaces) {
  EXPECT_EQ(Export({{{ColumnX(1), 127, "ab"}, {ColumnX(5), 127, ""}, {ColumnX(4), 254, ""}}}),
            "ab   \r\n"
            "    \r\n");
}

TEST(AsciiFilter, PagesFollowEachOtherWithoutEmptyLines) {
  EXPECT_EQ(
      Export({{{ColumnX(1), 2 * kCell, "two"}, {ColumnX(1), 5 * kCell, "five"}}, {}, {{ColumnX(1), kCell, "next"}}}),
      "two\r\nfive\r\nnext\r\n");
}

TEST(AsciiFilter, WritesEveryLineHoweverFarDownAndDropsTextsOffThePaper) {
  // 4 points on A4 are 210 lines a page; texts below line 200 are kept.
  test::ScratchFile file("long.txt");
  TQRAsciiExportFilter filter(file.Path());
  const Font small = test::ReportFont(4);
  const long double cell = 4 * 254.0L / 72.0L;
  test::RunExport(filter,
                  {{{10, 205 * cell, "line 205"},
                    {10, 300 * cell, "below the paper"},
                    {10, 1, "top"},
                    {10, -cell, "above the paper"},
                    {1e30L, 100, "far right"},
                    {10, std::numeric_limits<long double>::quiet_NaN(), "nowhere"}}},
                  small);
  EXPECT_EQ(filter.PageLines(), 210);
  EXPECT_EQ(file.Contents(), "top\r\nline 205\r\nbelow the paper\r\n");
}

TEST(AsciiFilter, FileErrorsAreInputOutputErrors) {
  TQRAsciiExportFilter missing("/nonexistent-dir/out.txt");
  EXPECT_THROW(
      {
        try {
          missing.Start(2100, 2970, test::ReportFont());
        } catch (const EInOutError& e) {
          EXPECT_STREQ(e.what(), "Invalid filename");
          throw;
        }
      },
      EInOutError);
  EXPECT_FALSE(missing.Active());

  TQRAsciiExportFilter folder(std::filesystem::temp_directory_path().string());
  try {
    folder.Start(2100, 2970, test::ReportFont());
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "File access denied");
  }
  EXPECT_EQ(InOutErrorText(EACCES), "File access denied");
  EXPECT_EQ(InOutErrorText(ENOSPC), "I/O error " + std::to_string(ENOSPC));
}

}  // namespace
}  // namespace pravel
