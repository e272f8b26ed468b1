#include "preview/find_text.h"

#include <gtest/gtest.h>

#include "report/qr_printer.h"
#include "report/qr_printer_test_util.h"
#include "report/test_files.h"

namespace pravel {
namespace {

using Status = SearchStep::Status;

class FindTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto path = dir_ / "r60.qrp";
    test::WriteReport(path, test::DrawnPages(60));
    printer_.Load(path.string());
  }

  // Steps until the search ends; the number of steps taken in `steps`.
  SearchStep Run(TextSearch& search, int pages_per_step, int& steps) {
    steps = 0;
    SearchStep step;
    do {
      step = StepSearch(search, printer_, pages_per_step);
      ++steps;
    } while (step.status == Status::Running && steps < 1000);
    return step;
  }

  test::TempDir dir_;
  TQRPrinter printer_;
};

TEST_F(FindTextTest, StepsOverBoundedPagesAndGoesRoundOnce) {
  int steps = 0;
  TextSearch search = BeginSearch({.text = "page 55"}, true, 1, -1, 60);
  SearchStep step = Run(search, 10, steps);
  ASSERT_EQ(step.status, Status::Found);
  EXPECT_EQ(step.page, 55);
  EXPECT_EQ(steps, 6);  // pages 1-10, ..., 51-60
  ASSERT_EQ(step.hits.size(), 1u);
  // "Page 55" at (20, 20) of a 794-pixel sheet, 8 pixels a character.
  EXPECT_NEAR(step.hits[0].left(), 20.0 / 794, 0.003);
  EXPECT_NEAR(step.hits[0].width(), 56.0 / 794, 0.003);
  EXPECT_GT(step.hits[0].height(), 0);

  // Backward from page 1 wraps to the last page.
  search = BeginSearch({.text = "Page 6"}, false, 1, -1, 60);
  step = Run(search, 10, steps);
  EXPECT_EQ(step.page, 60);

  // Forward past the only hit of the start page comes round to it again.
  search = BeginSearch({.text = "Page 42"}, true, 42, 0, 60);
  step = Run(search, 100, steps);
  EXPECT_EQ(step.status, Status::Found);
  EXPECT_EQ(step.page, 42);
  EXPECT_EQ(steps, 1);

  search = BeginSearch({.text = "nowhere"}, true, 30, -1, 60);
  EXPECT_EQ(Run(search, 7, steps).status, Status::NotFound);
  EXPECT_EQ(steps, 9);  // 61 pages, 7 at a time
}

TEST_F(FindTextTest, CaseAndSeveralHitsInARun) {
  const std::vector<PageRun> runs = {{"Abc abc ABC", QRectF(0.1, 0.2, 0.11, 0.02)},
                                     {"xabc", QRectF(0, 0.5, 0.04, 0.02)}};
  EXPECT_EQ(FindInRuns(runs, {.text = "abc"}).size(), 4u);
  const std::vector<QRectF> exact = FindInRuns(runs, {.text = "abc", .match_case = true});
  ASSERT_EQ(exact.size(), 2u);
  EXPECT_NEAR(exact[0].left(), 0.14, 1e-9);
  EXPECT_NEAR(exact[1].left(), 0.01, 1e-9);
  EXPECT_TRUE(FindInRuns(runs, {.text = ""}).empty());
}

TEST(PageTextTest, ReadingOrderOneLinePerTextLine) {
  const std::vector<PageRun> runs = {{"Suma", QRectF(0.1, 0.50, 0.1, 0.02)},
                                     {"12,50", QRectF(0.6, 0.505, 0.1, 0.02)},
                                     {"Nr", QRectF(0.5, 0.10, 0.1, 0.02)},
                                     {"Faktura", QRectF(0.1, 0.10, 0.1, 0.02)}};
  EXPECT_EQ(ReadingText(runs), "Faktura Nr\nSuma 12,50");
}

}  // namespace
}  // namespace pravel
