#include <gtest/gtest.h>

#include "export/abstract_filter.h"
#include "export/positions.h"
#include "export_test_util.h"
#include "platform/errors.h"

namespace pravel {
namespace {

std::vector<std::int32_t> Numbers(std::initializer_list<long double> added, std::initializer_list<long double> asked) {
  TQRPositions positions;
  positions.Add(1.0L);  // before BeginUpdate: ignored
  positions.BeginUpdate();
  for (const long double p : added) positions.Add(p);
  positions.EndUpdate();
  positions.Add(5000.0L);  // after EndUpdate: ignored
  std::vector<std::int32_t> out;
  for (const long double p : asked) out.push_back(positions.NumberOf(p));
  return out;
}

TEST(Positions, DistinctRoundedValuesAreNumberedInAscendingOrder) {
  // 100.4 and 100.6 round apart; 100.4 and 99.6 round together.
  EXPECT_EQ(Numbers({100.4L, 100.6L}, {100.4L, 100.6L}), (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(Numbers({100.4L, 99.6L}, {100.4L, 99.6L}), (std::vector<std::int32_t>{1, 1}));
  EXPECT_EQ(Numbers({300, 100, 200, 100.2L}, {300, 100, 200, 5000, 1}), (std::vector<std::int32_t>{3, 1, 2, 0, 0}));
}

TEST(Positions, OnlyPositionsStrictlyInsideTheBoundsAreNumbered) {
  EXPECT_EQ(Numbers({0, -50, 9999999, 12000000, 10, 9999998.4L}, {0, -50, 9999999, 12000000, 10, 9999998.4L}),
            (std::vector<std::int32_t>{0, 0, 0, 0, 1, 2}));
  // The first exact value decides: 0.3 lies inside, and -0.2 rounds onto it.
  EXPECT_EQ(Numbers({0.3L, -0.2L}, {-0.2L}), (std::vector<std::int32_t>{1}));
  EXPECT_EQ(Numbers({-0.2L, 0.3L}, {0.3L}), (std::vector<std::int32_t>{0}));
}

TEST(Positions, NotANumberGetsNone) {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  EXPECT_EQ(Numbers({nan, 50}, {nan, 50}), (std::vector<std::int32_t>{0, 1}));
}

// Keeps the numbered grid of every stored page.
class GridProbe : public TQRAbstractExportFilter {
 public:
  using TQRAbstractExportFilter::TQRAbstractExportFilter;
  struct Cell {
    std::string Text;
    int Size;
  };
  struct Grid {
    std::int32_t Columns, Lines;
    std::vector<std::vector<Cell>> Cells;  // [row - 1][column - 1]
  };
  std::vector<Grid> Pages;

 protected:
  void StorePage() override {
    Grid grid{ColumnCount(), LineCount(), {}};
    for (std::int32_t row = 1; row <= LineCount(); ++row) {
      auto& cells = grid.Cells.emplace_back();
      for (std::int32_t column = 1; column <= ColumnCount(); ++column) {
        Font font;
        font.Size = -1;  // left alone for an empty cell
        std::string text = FindText(column, row, font);
        cells.push_back({std::move(text), font.Size});
      }
    }
    Pages.push_back(std::move(grid));
    WriteLine("page");
  }
};

TEST(GridBase, NumbersColumnsAndRowsPerPage) {
  test::ScratchFile file("grid.txt");
  GridProbe probe(file.Path());
  Font big = test::ReportFont(20);
  test::RunExport(probe, {{{150, 300, "A"},
                           {400, 300.4L, "B"},
                           {150, 350, "C"},
                           {149.6L, 350, "late", TextAlignment::LeftJustify, big},
                           {0, 200, "off left"},
                           {500, -3, "off top"}},
                          {}});
  ASSERT_EQ(probe.Pages.size(), 3u);  // with the empty page before the first
  EXPECT_EQ(probe.Pages[0].Columns, 0);
  EXPECT_EQ(probe.Pages[0].Lines, 0);
  EXPECT_EQ(probe.Pages[2].Lines, 0);

  const auto& grid = probe.Pages[1];
  EXPECT_EQ(grid.Columns, 3);            // 150, 400, 500
  EXPECT_EQ(grid.Lines, 3);              // 200, 300, 350
  EXPECT_EQ(grid.Cells[0][0].Text, "");  // "off left" has no column
  EXPECT_EQ(grid.Cells[0][0].Size, -1);
  EXPECT_EQ(grid.Cells[1][0].Text, "A");
  EXPECT_EQ(grid.Cells[1][1].Text, "B");
  EXPECT_EQ(grid.Cells[2][0].Text, "C");  // arrived before "late" at the same place
  EXPECT_EQ(grid.Cells[2][0].Size, 10);
  for (const auto& row : grid.Cells) EXPECT_EQ(row[2].Text, "");  // "off top" has no row

  EXPECT_EQ(file.Contents(), "page\r\npage\r\npage\r\n");
  EXPECT_FALSE(probe.Active());
}

TEST(GridBase, TextsAfterTheLastEndPageAreDropped) {
  test::ScratchFile file("dropped.txt");
  GridProbe probe(file.Path());
  probe.Start(2100, 2970, test::ReportFont());
  EXPECT_TRUE(probe.Active());
  probe.NewPage();
  probe.TextOut(100, 100, test::ReportFont(), kColorWhite, TextAlignment::LeftJustify, "x");
  probe.Finish();
  EXPECT_TRUE(probe.Pages.empty());
  EXPECT_EQ(file.Contents(), "");
}

TEST(GridBase, UncreatableFileNamesTheFileAndTheReason) {
  GridProbe probe("/nonexistent-dir/out.csv");
  try {
    probe.Start(2100, 2970, test::ReportFont());
    FAIL() << "no error";
  } catch (const EFileCreateError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file \"/nonexistent-dir/out.csv\". No such file or directory");
  }
  EXPECT_FALSE(probe.Active());
}

}  // namespace
}  // namespace pravel
