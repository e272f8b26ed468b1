#include <gtest/gtest.h>

#include "export/text_collector.h"
#include "platform/gdi/emf_builder.h"

namespace pravel {
namespace {

// The collector's playback leaves out drawing, but the current position that
// lines move still places text drawn at it.
TEST(TextOnlyPlay, LinesStillMoveTheCurrentPosition) {
  const auto page = [](bool at_current_position) {
    gdi::test::EmfBuilder emf({0, 0, 10000, 5000});
    emf.Add(gdi::Emr::Rectangle, {10, 10, 200, 100});
    emf.Add(gdi::Emr::MoveToEx, {40, 30});
    emf.Add(gdi::Emr::LineTo, {300, 150});
    if (at_current_position) emf.Add(gdi::Emr::SetTextAlign, {1});  // TA_UPDATECP
    const std::int32_t x = at_current_position ? 0 : 300, y = at_current_position ? 0 : 150;
    emf.AddRaw(gdi::Emr::ExtTextOutW, gdi::test::TextBody(x, y, u"Suma", {}));
    return emf.Make();
  };
  const gdi::RectD target{0, 0, 1000, 500};
  const auto moved = CollectTexts(page(true), target);
  const auto placed = CollectTexts(page(false), target);
  ASSERT_EQ(moved.size(), 1u);
  ASSERT_EQ(placed.size(), 1u);
  EXPECT_EQ(moved[0].Text, "Suma");
  EXPECT_NEAR(static_cast<double>(moved[0].X), static_cast<double>(placed[0].X), 0.5);
  EXPECT_NEAR(static_cast<double>(moved[0].Y), static_cast<double>(placed[0].Y), 0.5);
  EXPECT_GT(moved[0].X, 100);
}

}  // namespace
}  // namespace pravel
