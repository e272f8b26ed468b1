#include "platform/qt/joined_fills.h"

#include <gtest/gtest.h>

#include <cmath>

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

TEST(JoinedFills, FillsSideBySideOfOneColourBecomeOnePathAndOthersBreakIt) {
  gdi::test::RecordingSurface out;
  JoinedFillsSurface joined(out);
  const auto fill = [&joined](const gdi::Path& p, gdi::Rgb color, gdi::Rop2 rop = gdi::Rop2::CopyPen) {
    joined.FillPath(p, gdi::FillRule::Alternate, Solid(color), rop);
  };
  for (int x = 0; x < 3; ++x) fill(Square(x, 0), 0x112233);  // one path of three
  fill(Square(3, 0), 0x445566);                             // another colour
  fill(Square(3.5, 0), 0x445566);                           // overlaps the last
  fill(Square(5, 0), 0x445566, gdi::Rop2::XorPen);          // not a plain copy
  gdi::Path nan = Square(6, 0);
  nan.points[1].x = std::nan("");
  fill(nan, 0x445566);
  fill(Square(7, 0), 0x445566);
  gdi::Pen pen;
  joined.StrokePath(Square(0, 0), pen, gdi::Rop2::CopyPen);  // hands the fill before it on first
  fill(Square(8, 0), 0x445566);
  EXPECT_EQ(out.out.shapes.size(), 7u) << "nothing held back but the last fill";
  joined.Flush();

  const auto& shapes = out.out.shapes;
  ASSERT_EQ(shapes.size(), 8u);
  EXPECT_EQ(shapes[0].path.points.size(), 12u);
  EXPECT_EQ(shapes[0].path.verbs.size(), 15u);
  EXPECT_EQ(shapes[0].brush.color, 0x112233u);
  EXPECT_EQ(gdi::test::Bounds(shapes[0].path), (gdi::RectD{0, 0, 3, 1}));
  for (std::size_t k = 1; k < shapes.size(); ++k) EXPECT_EQ(shapes[k].path.points.size(), 4u) << k;
  EXPECT_EQ(shapes[3].rop, gdi::Rop2::XorPen);
  EXPECT_EQ(shapes[6].kind, Recorded::Kind::Stroke);
  EXPECT_EQ(gdi::test::Bounds(shapes[7].path), (gdi::RectD{8, 0, 9, 1}));
}

}  // namespace
}  // namespace pravel::qt
