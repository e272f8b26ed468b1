#include "platform/gdi/mapping.h"

#include <gtest/gtest.h>

namespace pravel::gdi {
namespace {

TEST(PageMapping, IsotropicShrinksTheAxisThatScalesMoreKeepingItsSign) {
  EXPECT_EQ(IsotropicViewportExtent({100, 100}, {500, -250}, ExtentRounding::Exact), (PointD{250, -250}));
  EXPECT_EQ(IsotropicViewportExtent({100, 300}, {100, -100}, ExtentRounding::Exact), (PointD{100.0 / 3, -100}));
  EXPECT_EQ(IsotropicViewportExtent({100, 300}, {100, -100}, ExtentRounding::WholeUnits), (PointD{33, -100}));
}

TEST(PageMapping, PageTransformFollowsTheMode) {
  PageMapping m;
  m.window_org = {10, 20};
  m.viewport_org = {1, 2};
  m.window_ext = {0, 10};
  m.viewport_ext = {5, 20};

  m.mode = MapMode::Text;  // extents do not count
  XForm t = PageTransform(m, 96);
  EXPECT_EQ(t.Map({10, 20}), (PointD{1, 2}));
  EXPECT_EQ(t.MapVector({1, 1}), (PointD{1, 1}));

  m.mode = MapMode::Anisotropic;  // a zero extent counts as one
  t = PageTransform(m, 96);
  EXPECT_EQ(t.MapVector({1, 1}), (PointD{5, 2}));

  m.mode = MapMode::LoMetric;  // measured on the given device, y up
  t = PageTransform(m, 96);
  EXPECT_DOUBLE_EQ(t.m11, 96 / 254.0);
  EXPECT_DOUBLE_EQ(t.m22, -96 / 254.0);
}

}  // namespace
}  // namespace pravel::gdi
