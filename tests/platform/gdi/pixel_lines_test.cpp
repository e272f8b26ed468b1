#include "platform/gdi/pixel_lines.h"

#include <gtest/gtest.h>

namespace pravel::gdi {
namespace {

constexpr RectI kDevice{0, 0, 100, 100};

TEST(PixelLines, OpenLinesLeaveOutTheirLastPixelAndStepWithTiesTowardsTheStart) {
  Path p;
  p.MoveTo({1, 1});
  p.LineTo({5, 3});
  EXPECT_EQ(PixelLinePixels(p, kDevice), (std::vector<Pixel>{{1, 1}, {2, 2}, {3, 2}, {4, 3}}));
  Path back;
  back.MoveTo({5, 3});
  back.LineTo({1, 1});
  EXPECT_EQ(PixelLinePixels(back, kDevice), (std::vector<Pixel>{{5, 3}, {4, 3}, {3, 2}, {2, 2}}));
}

TEST(PixelLines, ClosedFiguresAddTheClosingEdgeAndTheirFirstPixel) {
  Path p;
  p.MoveTo({0, 0});
  p.LineTo({2, 0});
  p.LineTo({2, 2});
  p.Close();
  EXPECT_EQ(PixelLinePixels(p, kDevice), (std::vector<Pixel>{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 1}, {0, 0}}));
}

TEST(PixelLines, StepsOffTheDeviceAreLeftOut) {
  Path p;
  p.MoveTo({-1000000, 5});
  p.LineTo({1000000, 5});
  const auto pixels = PixelLinePixels(p, {0, 0, 10, 10});
  ASSERT_EQ(pixels.size(), 10u);
  EXPECT_EQ(pixels.front(), (Pixel{0, 5}));
  EXPECT_EQ(pixels.back(), (Pixel{9, 5}));
}

}  // namespace
}  // namespace pravel::gdi
