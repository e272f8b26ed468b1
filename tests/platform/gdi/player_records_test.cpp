// Less common records: region painting, gradients, poly-draw, text lists,
// meta regions and clip modes.

#include <gtest/gtest.h>

#include <limits>

#include "emf_builder.h"
#include "platform/gdi/charset.h"
#include "platform/gdi/player.h"
#include "platform/gdi/shapes.h"
#include "recording_surface.h"

namespace pravel::gdi {
namespace {

using test::EmfBuilder;
using test::RecordingSurface;

test::Recording Play(const EmfBuilder& emf) {
  RecordingSurface s;
  PlayMetafile(emf.Make(), s, {0, 0, 1000, 1000});
  return std::move(s.out);
}

Bytes RegionRecord(std::initializer_list<std::uint32_t> head, const std::vector<RectL>& rects) {
  Bytes b;
  for (int i = 0; i < 4; ++i) AppendI32(b, 0);  // rclBounds
  const Bytes data = test::RegionData(rects);
  AppendU32(b, static_cast<std::uint32_t>(data.size()));
  for (auto v : head) AppendU32(b, v);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

TEST(PlayerRecords, FillFrameAndInvertRegions) {
  EmfBuilder emf;
  emf.Add(Emr::CreateBrushIndirect, {1, 0, 0x0000FF, 0});
  emf.AddRaw(Emr::FillRgn, RegionRecord({1}, {{10, 10, 20, 20}, {30, 10, 40, 20}}));
  Bytes frame;
  for (int i = 0; i < 4; ++i) AppendI32(frame, 0);
  const Bytes data = test::RegionData({{100, 100, 200, 200}});
  AppendU32(frame, static_cast<std::uint32_t>(data.size()));
  AppendU32(frame, 1);
  AppendI32(frame, 2);
  AppendI32(frame, 3);
  frame.insert(frame.end(), data.begin(), data.end());
  emf.AddRaw(Emr::FrameRgn, frame);
  emf.AddRaw(Emr::InvertRgn, RegionRecord({}, {{0, 0, 5, 5}}));
  const auto s = Play(emf);
  ASSERT_EQ(s.shapes.size(), 3u);
  EXPECT_EQ(s.shapes[0].brush.color, 0xFF0000u);
  EXPECT_EQ(s.shapes[0].path.verbs.size(), 10u);  // two rectangles
  // The frame: 2 pixels at the sides, 3 at top and bottom.
  const Region frame_region =
      Region::FromPolygons(FlattenPath(s.shapes[1].path), FillRule::Winding, {0, 0, 1000, 1000});
  EXPECT_TRUE(frame_region.Combine(Region::FromRect({102, 103, 198, 197}), RegionOp::And).Empty());
  EXPECT_EQ(frame_region.Bounds(), (RectI{100, 100, 200, 200}));
  EXPECT_EQ(s.shapes[2].rop, Rop2::Not);
}

TEST(PlayerRecords, ClipModesAndMetaRegion) {
  const auto select = [](EmfBuilder& emf, std::uint32_t mode, RectL r) {
    Bytes b;
    const Bytes data = test::RegionData({r});
    AppendU32(b, static_cast<std::uint32_t>(data.size()));
    AppendU32(b, mode);
    b.insert(b.end(), data.begin(), data.end());
    emf.AddRaw(Emr::ExtSelectClipRgn, b);
  };
  EmfBuilder emf;
  select(emf, 1, {0, 0, 100, 100});    // AND with no clip: the region itself
  emf.Add(Emr::SetMetaRgn, {});        // becomes the meta region; the clip is reset
  select(emf, 5, {50, 50, 300, 300});  // COPY: the effective clip stays within the meta region
  emf.Add(Emr::Rectangle, {0, 0, 2, 2});
  select(emf, 3, {50, 50, 60, 60});  // XOR cuts a hole
  emf.Add(Emr::Rectangle, {0, 0, 2, 2});
  const auto s = Play(emf);
  ASSERT_EQ(s.shapes.size(), 4u);
  EXPECT_EQ(s.shapes[0].clip, (std::vector<RectI>{{50, 50, 100, 100}}));
  EXPECT_EQ(s.shapes[2].clip, (std::vector<RectI>{{60, 50, 100, 60}, {50, 60, 100, 100}}));
}

TEST(PlayerRecords, PolyDrawAndAngleArcMoveThePosition) {
  EmfBuilder emf;
  Bytes draw;
  for (int i = 0; i < 4; ++i) AppendI32(draw, 0);
  AppendU32(draw, 3);
  for (int v : {10, 10, 20, 10, 20, 20}) AppendI32(draw, v);
  for (std::uint8_t t : {6, 2, 3}) AppendU8(draw, t);  // move, line, line + close
  draw.push_back(0);
  emf.AddRaw(Emr::PolyDraw, draw);
  emf.Add(Emr::LineTo, {15, 40});  // from the figure's start after the close
  Bytes arc;
  for (int v : {100, 100}) AppendI32(arc, v);
  AppendU32(arc, 50);
  AppendF32(arc, 0);
  AppendF32(arc, 90);
  emf.AddRaw(Emr::AngleArc, arc);
  emf.Add(Emr::LineTo, {0, 0});
  const auto s = Play(emf);
  ASSERT_EQ(s.shapes.size(), 4u);
  EXPECT_EQ(s.shapes[0].path.verbs.back(), PathVerb::Close);
  EXPECT_EQ(s.shapes[1].path.points.front(), (PointD{10, 10}));
  EXPECT_EQ(s.shapes[2].path.points.front(), (PointD{15, 40}));   // a line to the arc's start first
  EXPECT_EQ(s.shapes[3].path.points.front(), (PointD{100, 50}));  // the arc ends at 90 degrees: up
}

// A horizontal gradient rectangle from red at (left, top) to blue at
// (right, bottom).
Bytes GradientRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  Bytes g;
  for (int i = 0; i < 4; ++i) AppendI32(g, 0);
  for (std::uint32_t v : {2u, 1u, 0u}) AppendU32(g, v);  // two vertices, one rectangle, horizontal
  for (std::int32_t v : {left, top}) AppendI32(g, v);
  for (std::uint16_t c : {0xFF00, 0, 0, 0}) AppendU16(g, c);
  for (std::int32_t v : {right, bottom}) AppendI32(g, v);
  for (std::uint16_t c : {0, 0, 0xFF00, 0}) AppendU16(g, c);
  for (std::uint32_t v : {0u, 1u}) AppendU32(g, v);
  return g;
}

TEST(PlayerRecords, GradientRectangleIsAPicture) {
  EmfBuilder emf;
  emf.AddRaw(Emr::GradientFill, GradientRect(10, 10, 110, 20));
  const auto s = Play(emf);
  ASSERT_EQ(s.images.size(), 1u);
  const auto& img = *s.images[0].image;
  EXPECT_EQ(img.width, 100);
  EXPECT_EQ(img.pixels.front() & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(img.pixels.back() & 0xFFFFFF, 0x0000FFu);
}

// Counts of pieces come from doubles far past int: they are clamped as doubles.
TEST(PlayerRecords, CurvesArcsAndGradientsFarOutsideTheDeviceStayBounded) {
  Path curve;
  curve.MoveTo({0, 0});
  curve.CubicTo({1e30, 0}, {0, 1e30}, {1e30, 1e30});
  const auto flat = FlattenPath(curve);
  ASSERT_EQ(flat.size(), 1u);
  EXPECT_LE(flat[0].size(), 201u);

  Path arc;
  AppendArc(arc, {0, 0}, 10, 10, 0, 1e30, false);
  EXPECT_LE(arc.points.size(), 1u + 3 * 64);

  EmfBuilder emf;
  emf.AddRaw(Emr::GradientFill,
             GradientRect(std::numeric_limits<std::int32_t>::min(), 10, std::numeric_limits<std::int32_t>::max(), 20));
  const auto s = Play(emf);
  ASSERT_EQ(s.images.size(), 1u);
  EXPECT_EQ(s.images[0].image->width, 4096);
}

TEST(PlayerRecords, TextListsAndSmallText) {
  EmfBuilder emf;
  Bytes poly;
  for (int i = 0; i < 4; ++i) AppendI32(poly, 0);
  AppendU32(poly, 1);
  AppendF32(poly, 1);
  AppendF32(poly, 1);
  AppendU32(poly, 2);  // two strings
  const std::uint32_t first_text = 8 + 32 + 2 * 40;
  for (int k = 0; k < 2; ++k) {
    for (int v : {10 * k, 0}) AppendI32(poly, v);
    AppendU32(poly, 1);
    AppendU32(poly, first_text + 4 * static_cast<std::uint32_t>(k));
    AppendU32(poly, 0x100);  // no rectangle
    for (int i = 0; i < 4; ++i) AppendI32(poly, 0);
    AppendU32(poly, 0);
  }
  for (int c : {0x41, 0, 0x42, 0}) AppendU16(poly, static_cast<std::uint16_t>(c));
  emf.AddRaw(Emr::PolyTextOutW, poly);
  Bytes small;
  for (int v : {5, 6}) AppendI32(small, v);
  for (std::uint32_t v : {2u, 0x100u | 0x200u, 1u}) AppendU32(small, v);
  AppendF32(small, 1);
  AppendF32(small, 1);
  for (int c : {0x68, 0x69, 0, 0}) AppendU8(small, static_cast<std::uint8_t>(c));
  emf.AddRaw(Emr::SmallTextOut, small);
  const auto s = Play(emf);
  ASSERT_EQ(s.texts.size(), 3u);
  EXPECT_EQ(s.texts[0].text, u"A");
  EXPECT_EQ(s.texts[1].text, u"B");
  EXPECT_EQ(s.texts[1].reference, (PointD{10, 0}));
  EXPECT_EQ(s.texts[2].text, u"hi");
  EXPECT_EQ(s.texts[2].reference, (PointD{5, 6}));
}

TEST(Charset, CodePagesAndSymbol) {
  const Bytes bytes{0x41, 0x80, 0xA5, 0xE6};
  EXPECT_EQ(DecodeAnsi(bytes, 0), u"A\u20AC\u00A5\u00E6");    // 1252
  EXPECT_EQ(DecodeAnsi(bytes, 238), u"A\u20AC\u0104\u0107");  // 1250: Ą ć
  EXPECT_EQ(DecodeAnsi(bytes, 161), u"A\u20AC\u00A5\u03B6");  // 1253: ζ
  EXPECT_EQ(DecodeAnsi(bytes, 162), u"A\u20AC\u00A5\u00E6");  // 1254
  EXPECT_EQ(DecodeAnsi(bytes, 186), u"A\u20AC\u00A5\u0119");  // 1257: ę
  EXPECT_EQ(DecodeAnsi(bytes, 2), u"A\u0080\u00A5\u00E6");    // symbol: as is
  EXPECT_EQ(DecodeAnsi(Bytes{0x81}, 0), u"\u0081");           // undefined byte
}

}  // namespace
}  // namespace pravel::gdi
