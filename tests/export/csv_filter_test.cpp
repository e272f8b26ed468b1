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
                           {{200, 100, "2,5 kg Łódź"},
                            {200, 110, "say \"hi\""},
                            {0, 120, "lost"}}});
  EXPECT_EQ(file.Contents(),
            "\"A\",\"B\"\r\n"
            "\"C\"\r\n"
            "\"2,5 kg Łódź\"\r\n"
            "\"say \"\"hi\"\"\"\r\n"
            "\"\"\r\n");  // the row of the text at X = 0, which has no column
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
