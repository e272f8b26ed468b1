#include "export/csv_filter.h"

#include <gtest/gtest.h>

#include "export_test_util.h"

namespace pravel {
namespace {

TEST(CommaSeparatedFilter, WritesOneQuotedFieldPerColumnUpToTheRowsLastText) {
  test::ScratchFile file("abc.csv");
  TQRCommaSeparatedFilter filter(file.Path());
  test::RunExport(filter, {{{150, 300, "A"}, {400, 300, "B"}, {150, 350, "C"}},
                           {},
                           {{200, 100, "2,5 kg Łódź"}, {200, 110, "say \"hi\""}, {0, 120, "lost"}}});
  EXPECT_EQ(file.Contents(),
            "\"A\",\"B\"\r\n"
            "\"C\"\r\n"
            "\"2,5 kg Łódź\"\r\n"
            "\"say \"\"hi\"\"\"\r\n"
            "\"\"\r\n");  // the row of the text at X = 0, which has no column
}

TEST(CommaSeparatedFilter, AGridFarLargerThanItsTextsKeepsOnlyTheCellsWithText) {
  // 1 500 texts on a diagonal would make a grid of over a million cells.
  test::ScratchFile file("diagonal.csv");
  TQRCommaSeparatedFilter filter(file.Path());
  test::Page page{{20000, 10, "end"}};
  for (int k = 1; k <= 1500; ++k)
    page.push_back({10.0L * k, 10.0L * k, "t", TextAlignment::LeftJustify, test::ReportFont()});
  test::RunExport(filter, {page});
  std::string expected = "\"t\",\"end\"\r\n";
  for (int k = 2; k <= 1500; ++k) expected += "\"t\"\r\n";
  EXPECT_EQ(file.Contents(), expected);
}

TEST(CommaSeparatedFilter, PageWithoutColumnsWritesNothing) {
  test::ScratchFile file("empty.csv");
  TQRCommaSeparatedFilter filter(file.Path());
  test::RunExport(filter, {{{0, 300, "left edge"}, {-20, 400, "beyond"}}});
  EXPECT_TRUE(std::filesystem::exists(file.Path()));
  EXPECT_EQ(file.Contents(), "");
}

}  // namespace
}  // namespace pravel
