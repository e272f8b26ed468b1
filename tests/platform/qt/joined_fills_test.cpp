#include "platform/qt/joined_fills.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "platform/gdi/recording_surface.h"

namespace pravel::qt {
namespace {

using gdi::test::Recorded;

gdi::Path Square(double x, double y, double side = 1) {
  gdi::Path p;
  p.MoveTo({x, y});
  p.LineTo({x + side, y});
  p.LineTo({x + side, y + side});
  p.LineTo({x, y + side});
  p.Close();
  return p;
}

gdi::Brush Solid(gdi::Rgb color) {
  gdi::Brush b;
  b.color = color;
  return b;
}

gdi::Path Triangle(double x) {
  gdi::Path p;
  p.MoveTo({x, 0});
  p.LineTo({x + 1, 0});
  p.LineTo({x, 1});
  p.Close();
  return p;
}

TEST(JoinedFills, FillsOfOneColourBecomeOnePathWhereThatPaintsTheSame) {
  gdi::test::RecordingSurface out;
  JoinedFillsSurface joined(out);
  const auto fill = [&joined](const gdi::Path& p, gdi::Rgb color, gdi::Rop2 rop = gdi::Rop2::CopyPen) {
    joined.FillPath(p, gdi::FillRule::Alternate, Solid(color), rop);
  };
  gdi::Path reversed = Square(2, 0);
  std::swap(reversed.points[1], reversed.points[3]);
  for (int x = 0; x < 2; ++x) fill(Square(x, 0), 0x112233);
  fill(reversed, 0x112233);
  fill(Square(3, 0), 0x445566);    // another colour
  fill(Square(3.5, 0), 0x445566);  // rectangles join however they overlap
  fill(Triangle(5), 0x445566);
  fill(Triangle(5.5), 0x445566);  // overlaps the last
  fill(Square(5, 0), 0x445566, gdi::Rop2::XorPen);
  gdi::Path nan = Square(6, 0);
  nan.points[1].x = std::nan("");
  fill(nan, 0x445566);
  fill(Square(7, 0), 0x445566);
  joined.StrokePath(Square(0, 0), gdi::Pen{}, gdi::Rop2::CopyPen);  // hands the fill before it on first
  fill(Square(8, 0), 0x445566);
  EXPECT_EQ(out.out.shapes.size(), 8u) << "nothing held back but the last fill";
  joined.Flush();

  const auto& shapes = out.out.shapes;
  ASSERT_EQ(shapes.size(), 9u);
  const std::size_t points[] = {12, 8, 3, 3, 4, 4, 4, 4, 4};
  for (std::size_t k = 0; k < shapes.size(); ++k) EXPECT_EQ(shapes[k].path.points.size(), points[k]) << k;
  EXPECT_EQ(shapes[0].brush.color, 0x112233u);
  EXPECT_EQ(gdi::test::Bounds(shapes[0].path), (gdi::RectD{0, 0, 3, 1}));
  // Turned one way round: the last square's corners as the first's.
  EXPECT_EQ(shapes[0].path.points[9], (gdi::PointD{3, 0}));
  EXPECT_EQ(shapes[4].rop, gdi::Rop2::XorPen);
  EXPECT_EQ(shapes[7].kind, Recorded::Kind::Stroke);
  EXPECT_EQ(gdi::test::Bounds(shapes[8].path), (gdi::RectD{8, 0, 9, 1}));
}

}  // namespace
}  // namespace pravel::qt
