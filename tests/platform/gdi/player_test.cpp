#include "platform/gdi/player.h"

#include <gtest/gtest.h>

#include "emf_builder.h"
#include "recording_surface.h"

namespace pravel::gdi {
namespace {

using test::Bounds;
using test::EmfBuilder;
using test::Recorded;
using test::RecordingSurface;

test::Recording Play(const EmfBuilder& emf, RectD target = {0, 0, 1000, 1000}) {
  RecordingSurface s;
  PlayMetafile(emf.Make(), s, target);
  return std::move(s.out);
}

const Recorded* First(const test::Recording& s, Recorded::Kind kind) {
  for (const auto& r : s.shapes)
    if (r.kind == kind) return &r;
  return nullptr;
}

Bytes XFormBody(XForm x, std::optional<std::uint32_t> mode = std::nullopt) {
  Bytes b;
  for (double v : {x.m11, x.m12, x.m21, x.m22, x.dx, x.dy}) AppendF32(b, static_cast<float>(v));
  if (mode) AppendU32(b, *mode);
  return b;
}

void ExpectBounds(const Path& p, RectD expected) {
  const RectD b = Bounds(p);
  EXPECT_DOUBLE_EQ(b.left, expected.left);
  EXPECT_DOUBLE_EQ(b.top, expected.top);
  EXPECT_DOUBLE_EQ(b.right, expected.right);
  EXPECT_DOUBLE_EQ(b.bottom, expected.bottom);
}

// --- Mapping ---------------------------------------------------------------

TEST(PlayerMapping, ShapesKeepOrLoseTheirRightAndBottomEdgeAsInTheAdvancedMode) {
  EmfBuilder emf;
  emf.Add(Emr::Rectangle, {10, 20, 110, 220});  // outline on the right and bottom edge
  emf.Add(Emr::Ellipse, {10, 20, 110, 220});    // with a pen: one pixel less
  emf.Add(Emr::RoundRect, {10, 20, 110, 220, 8, 8});
  emf.Add(Emr::SelectObject, {static_cast<std::int32_t>(0x80000008u)});  // NULL_PEN
  emf.Add(Emr::Ellipse, {10, 20, 110, 220});                             // fills up to right - 1: the path's edge
  const auto s = Play(emf);
  ASSERT_EQ(s.shapes.size(), 7u);
  ExpectBounds(s.shapes[0].path, {10, 20, 110, 220});
  ExpectBounds(s.shapes[1].path, {10, 20, 110, 220});
  ExpectBounds(s.shapes[2].path, {10, 20, 109, 219});
  ExpectBounds(s.shapes[4].path, {10, 20, 109, 219});
  ExpectBounds(s.shapes[6].path, {10, 20, 110, 220});
}

TEST(PlayerMapping, MapModesScaleAndFlipAsGdiDoes) {
  {
    EmfBuilder emf;  // anisotropic: window 100 -> viewport 500, origins shift
    emf.Add(Emr::SetMapMode, {8}).Add(Emr::SetWindowExtEx, {100, 100}).Add(Emr::SetViewportExtEx, {500, -250});
    emf.Add(Emr::SetWindowOrgEx, {10, 0}).Add(Emr::SetViewportOrgEx, {0, 500});
    emf.Add(Emr::Rectangle, {10, 0, 30, 40});
    ExpectBounds(First(Play(emf), Recorded::Kind::Fill)->path, {0, 400, 100, 500});
  }
  {
    EmfBuilder emf;  // isotropic keeps the aspect: the smaller scale wins
    emf.Add(Emr::SetMapMode, {7}).Add(Emr::SetWindowExtEx, {100, 100}).Add(Emr::SetViewportExtEx, {500, 200});
    emf.Add(Emr::Rectangle, {0, 0, 100, 100});
    ExpectBounds(First(Play(emf), Recorded::Kind::Fill)->path, {0, 0, 200, 200});
  }
  {
    EmfBuilder emf;  // LOMETRIC: 254 units are an inch, 96 pixels; y runs up
    emf.Add(Emr::SetMapMode, {2}).Add(Emr::Rectangle, {0, 0, 254, -254});
    ExpectBounds(First(Play(emf), Recorded::Kind::Fill)->path, {0, 0, 96, 96});
  }
  {
    EmfBuilder emf;  // extents are ignored outside the scalable modes
    emf.Add(Emr::SetViewportExtEx, {500, 500}).Add(Emr::SetWindowExtEx, {1, 1}).Add(Emr::Rectangle, {0, 0, 10, 10});
    ExpectBounds(First(Play(emf), Recorded::Kind::Fill)->path, {0, 0, 10, 10});
  }
}

TEST(PlayerMapping, WorldTransformSetAndModified) {
  EmfBuilder emf;
  emf.AddRaw(Emr::SetWorldTransform, XFormBody({2, 0, 0, 2, 100, 0}));
  emf.AddRaw(Emr::ModifyWorldTransform, XFormBody({1, 0, 0, 1, 0, 50}, 2));  // left multiply: translate first
  emf.Add(Emr::Rectangle, {0, 0, 10, 10});
  emf.AddRaw(Emr::ModifyWorldTransform, XFormBody({}, 1));  // identity
  emf.Add(Emr::Rectangle, {0, 0, 10, 10});
  const auto s = Play(emf);
  ExpectBounds(s.shapes[0].path, {100, 100, 120, 120});
  ExpectBounds(s.shapes[2].path, {0, 0, 10, 10});
}

TEST(PlayerMapping, FrameIsStretchedOverTheTarget) {
  EmfBuilder emf({0, 0, 5000, 10000});  // 500 x 1000 reference pixels
  emf.Add(Emr::Rectangle, {0, 0, 500, 1000});
  const auto s = Play(emf, {100, 0, 300, 200});
  ExpectBounds(First(s, Recorded::Kind::Fill)->path, {100, 0, 300, 200});
}

TEST(PlayerMapping, RestoreDcRestoresTransformAndClip) {
  EmfBuilder emf;
  emf.Add(Emr::SaveDC, {});
  emf.Add(Emr::SetViewportOrgEx, {100, 100}).Add(Emr::IntersectClipRect, {0, 0, 50, 50});
  emf.Add(Emr::SaveDC, {}).Add(Emr::SetViewportOrgEx, {200, 200});
  emf.Add(Emr::RestoreDC, {-1}).Add(Emr::Rectangle, {0, 0, 10, 10});  // one level back
  emf.Add(Emr::RestoreDC, {1}).Add(Emr::Rectangle, {0, 0, 10, 10});   // absolute level 1
  emf.Add(Emr::RestoreDC, {-5}).Add(Emr::Rectangle, {0, 0, 10, 10});  // no such level: ignored
  const auto s = Play(emf);
  ASSERT_EQ(s.shapes.size(), 6u);
  ExpectBounds(s.shapes[0].path, {100, 100, 110, 110});
  EXPECT_EQ(s.shapes[0].clip, (std::vector<RectI>{{100, 100, 150, 150}}));
  ExpectBounds(s.shapes[2].path, {0, 0, 10, 10});
  EXPECT_TRUE(s.shapes[2].clip.empty());
  ExpectBounds(s.shapes[4].path, {0, 0, 10, 10});
}

// --- Objects and shapes ----------------------------------------------------

TEST(PlayerObjects, PensBrushesAndStockObjects) {
  EmfBuilder emf;
  emf.Add(Emr::CreatePen, {1, 0, 5, 0, 0x0000FF});         // 5 logical units, red
  emf.Add(Emr::CreateBrushIndirect, {2, 2, 0x00FF00, 4});  // hatched HS_CROSS, green
  emf.Add(Emr::SelectObject, {1}).Add(Emr::SelectObject, {2});
  emf.Add(Emr::SetBkMode, {1});
  emf.Add(Emr::Ellipse, {0, 0, 100, 100});
  emf.Add(Emr::SelectObject, {static_cast<std::int32_t>(0x80000008u)});  // NULL_PEN
  emf.Add(Emr::DeleteObject, {2}).Add(Emr::SelectObject, {2});           // deleted: selection ignored
  emf.Add(Emr::SelectObject, {99});                                      // beyond the table: ignored
  emf.Add(Emr::Rectangle, {0, 0, 10, 10});
  const auto s = Play(emf, {0, 0, 2000, 2000});  // everything doubles
  ASSERT_EQ(s.shapes.size(), 3u);
  EXPECT_EQ(s.shapes[0].brush.kind, BrushKind::Hatch);
  EXPECT_EQ(s.shapes[0].brush.hatch, 4);
  EXPECT_EQ(s.shapes[0].brush.color, 0x00FF00u);
  EXPECT_FALSE(s.shapes[0].brush.opaque);
  EXPECT_FALSE(s.shapes[1].pen.cosmetic);
  EXPECT_EQ(s.shapes[1].pen.width, 10);
  EXPECT_EQ(s.shapes[1].pen.color, 0xFF0000u);
  EXPECT_EQ(s.shapes[2].kind, Recorded::Kind::Fill);  // null pen: fill only
  EXPECT_EQ(s.shapes[2].brush.kind, BrushKind::Hatch);
}

TEST(PlayerObjects, CosmeticPensStayOnePixelWithGdiDashes) {
  EmfBuilder emf;
  emf.Add(Emr::CreatePen, {1, 1, 0, 0, 0});  // PS_DASH, width 0
  emf.Add(Emr::SelectObject, {1}).Add(Emr::MoveToEx, {0, 0}).Add(Emr::LineTo, {100, 0});
  const auto s = Play(emf, {0, 0, 3000, 3000});
  const auto* line = First(s, Recorded::Kind::Stroke);
  ASSERT_NE(line, nullptr);
  EXPECT_TRUE(line->pen.cosmetic);
  EXPECT_EQ(line->pen.style, PenStyle::User);
  EXPECT_EQ(line->pen.dashes, (std::vector<double>{18, 6}));
  ExpectBounds(line->path, {0, 0, 300, 0});
}

TEST(PlayerObjects, LinesArcsAndPolygonsFollowTheCurrentPosition) {
  EmfBuilder emf;
  emf.Add(Emr::MoveToEx, {10, 10});
  Bytes poly;
  for (int v : {0, 0, 0, 0}) AppendI32(poly, v);
  AppendU32(poly, 2);
  for (std::int16_t v : {50, 10, 50, 60}) AppendI16(poly, v);
  emf.AddRaw(Emr::PolylineTo16, poly);
  emf.Add(Emr::LineTo, {0, 60});
  emf.Add(Emr::SetArcDirection, {2});
  emf.Add(Emr::Pie, {0, 0, 101, 101, 100, 50, 50, 0});  // clockwise from 3 to 12 o'clock: three quarters
  const auto s = Play(emf);
  ASSERT_GE(s.shapes.size(), 4u);
  EXPECT_EQ(s.shapes[0].path.points, (std::vector<PointD>{{10, 10}, {50, 10}, {50, 60}}));
  EXPECT_EQ(s.shapes[1].path.points, (std::vector<PointD>{{50, 60}, {0, 60}}));
  const RectD pie = Bounds(s.shapes[2].path);
  EXPECT_NEAR(pie.left, 0, 0.5);
  EXPECT_NEAR(pie.bottom, 100, 0.5);
}

// --- Paths and clipping ----------------------------------------------------

TEST(PlayerClip, ClipRectsAndRegionsCombine) {
  EmfBuilder emf;
  emf.Add(Emr::IntersectClipRect, {0, 0, 100, 100});
  emf.Add(Emr::ExcludeClipRect, {0, 0, 50, 100});
  emf.Add(Emr::Rectangle, {0, 0, 5, 5});
  Bytes rgn;
  const Bytes data = test::RegionData({{200, 200, 300, 300}});
  AppendU32(rgn, static_cast<std::uint32_t>(data.size()));
  AppendU32(rgn, 2);  // RGN_OR
  rgn.insert(rgn.end(), data.begin(), data.end());
  emf.AddRaw(Emr::ExtSelectClipRgn, rgn);
  emf.Add(Emr::Rectangle, {0, 0, 5, 5});
  emf.Add(Emr::OffsetClipRgn, {10, 0});
  emf.Add(Emr::Rectangle, {0, 0, 5, 5});
  emf.Add(Emr::ExtSelectClipRgn, {0, 5});  // RGN_COPY without data: no clip
  emf.Add(Emr::Rectangle, {0, 0, 5, 5});
  const auto s = Play(emf);
  ASSERT_EQ(s.shapes.size(), 8u);
  EXPECT_EQ(s.shapes[0].clip, (std::vector<RectI>{{50, 0, 100, 100}}));
  EXPECT_EQ(s.shapes[2].clip, (std::vector<RectI>{{50, 0, 100, 100}, {200, 200, 300, 300}}));
  EXPECT_EQ(s.shapes[4].clip, (std::vector<RectI>{{60, 0, 110, 100}, {210, 200, 310, 300}}));
  EXPECT_TRUE(s.shapes[6].clip.empty());
}

TEST(PlayerClip, PathBecomesClipAndIsFilledOnce) {
  EmfBuilder emf;
  emf.Add(Emr::BeginPath, {}).Add(Emr::Rectangle, {10, 10, 20, 20}).Add(Emr::EndPath, {});
  emf.Add(Emr::SelectClipPath, {5});
  emf.Add(Emr::BeginPath, {}).Add(Emr::MoveToEx, {0, 0}).Add(Emr::LineTo, {40, 0}).Add(Emr::LineTo, {40, 40});
  emf.Add(Emr::CloseFigure, {}).Add(Emr::EndPath, {}).Add(Emr::FillPath, {0, 0, 0, 0});
  emf.Add(Emr::FillPath, {0, 0, 0, 0});  // the path is gone
  const auto s = Play(emf);
  ASSERT_EQ(s.shapes.size(), 1u);
  EXPECT_EQ(s.shapes[0].clip, (std::vector<RectI>{{10, 10, 20, 20}}));
  EXPECT_EQ(s.shapes[0].path.verbs.back(), PathVerb::Close);
}

TEST(Region, CombinesAndScanConverts) {
  const Region a = Region::FromRect({0, 0, 10, 10});
  const Region b = Region::FromRect({5, 5, 15, 15});
  EXPECT_EQ(a.Combine(b, RegionOp::And).Rects(), (std::vector<RectI>{{5, 5, 10, 10}}));
  EXPECT_EQ(a.Combine(b, RegionOp::Diff).Rects(), (std::vector<RectI>{{0, 0, 10, 5}, {0, 5, 5, 10}}));
  EXPECT_EQ(a.Combine(b, RegionOp::Or).Bounds(), (RectI{0, 0, 15, 15}));
  EXPECT_EQ(a.Combine(b, RegionOp::Xor).Rects().size(), 4u);
  EXPECT_TRUE(a.Combine(a, RegionOp::Xor).Empty());
  // Two nested squares: alternate leaves a hole, winding (same direction) does not.
  const std::vector<std::vector<PointD>> squares{{{0, 0}, {10, 0}, {10, 10}, {0, 10}},
                                                 {{2, 2}, {8, 2}, {8, 8}, {2, 8}}};
  const RectI limit{-100, -100, 100, 100};
  EXPECT_EQ(Region::FromPolygons(squares, FillRule::Alternate, limit)
                .Combine(Region::FromRect({4, 4, 5, 5}), RegionOp::And)
                .Empty(),
            true);
  EXPECT_EQ(Region::FromPolygons(squares, FillRule::Winding, limit).Rects(), (std::vector<RectI>{{0, 0, 10, 10}}));
  // A huge polygon costs no more than the limit.
  const Region huge = Region::FromPolygons({{{-1e9, -1e9}, {1e9, -1e9}, {1e9, 1e9}}}, FillRule::Winding, limit);
  EXPECT_LE(huge.BandCount(), 200u);
}

// --- Text --------------------------------------------------------------------

TEST(PlayerText, AdvancesPlaceGlyphsAndAlignmentShiftsThem) {
  EmfBuilder emf;
  emf.AddRaw(Emr::ExtCreateFontIndirectW, test::FontBody(1, -20, u"Arial"));
  emf.Add(Emr::SelectObject, {1});
  emf.AddRaw(Emr::ExtTextOutW, test::TextBody(100, 50, u"abc", {10, 20, 30}));
  emf.Add(Emr::SetTextAlign, {2 | 24});  // right, baseline
  emf.AddRaw(Emr::ExtTextOutW, test::TextBody(100, 50, u"abc", {10, 20, 30}));
  emf.Add(Emr::SetTextAlign, {6});  // centre
  emf.AddRaw(Emr::ExtTextOutW, test::TextBody(100, 50, u"abc", {10, 20, 30}));
  const auto s = Play(emf, {0, 0, 2000, 2000});
  ASSERT_EQ(s.texts.size(), 3u);
  const auto xs = [](const TextRun& r) {
    std::vector<double> out;
    for (const auto& p : r.origins) out.push_back(p.x);
    return out;
  };
  EXPECT_EQ(xs(s.texts[0]), (std::vector<double>{200, 220, 260, 320}));
  EXPECT_EQ(xs(s.texts[1]), (std::vector<double>{80, 100, 140, 200}));
  EXPECT_EQ(xs(s.texts[2]), (std::vector<double>{140, 160, 200, 260}));
  EXPECT_EQ(s.texts[1].anchor, TextAnchor::Right);
  EXPECT_EQ(s.texts[0].font.face, u"Arial");
  EXPECT_DOUBLE_EQ(s.texts[0].font.height, 40);
  EXPECT_FALSE(s.texts[0].font.cell_height);
  EXPECT_EQ(s.texts[0].text, u"abc");
}

TEST(PlayerText, AnsiTextDecodesThroughTheFontCharset) {
  EmfBuilder emf;
  emf.AddRaw(Emr::ExtCreateFontIndirectW, test::FontBody(1, 12, u"Arial", 238));
  emf.Add(Emr::SelectObject, {1});
  emf.AddRaw(Emr::ExtTextOutA, test::TextBody(0, 0, u"\xB9\x9C", {}, false));
  emf.AddRaw(Emr::ExtCreateFontIndirectW, test::FontBody(2, 12, u"Arial", 204));
  emf.Add(Emr::SelectObject, {2});
  emf.AddRaw(Emr::ExtTextOutA, test::TextBody(0, 0, u"\xC0\xFF", {}, false));
  const auto s = Play(emf);
  ASSERT_EQ(s.texts.size(), 2u);
  EXPECT_EQ(s.texts[0].text, u"\u0105\u015B");  // ą ś
  EXPECT_EQ(s.texts[1].text, u"\u0410\u044F");  // А я
  EXPECT_TRUE(s.texts[0].font.cell_height);
}

// Without advances the surface measures the run; the player aligns it and
// puts its origins on the baseline.
TEST(PlayerText, MeasuredRunsAreAlignedOntoTheBaseline) {
  EmfBuilder emf;
  emf.AddRaw(Emr::ExtCreateFontIndirectW, test::FontBody(1, -20, u"Arial"));
  emf.Add(Emr::SelectObject, {1});
  emf.AddRaw(Emr::ExtTextOutW, test::TextBody(100, 50, u"abc", {}));  // left, top
  emf.Add(Emr::SetTextAlign, {6 | 8});                                // centre, bottom
  emf.AddRaw(Emr::ExtTextOutW, test::TextBody(100, 50, u"abc", {}));
  emf.Add(Emr::SetTextAlign, {2 | 24});  // right, baseline
  emf.AddRaw(Emr::ExtTextOutW, test::TextBody(100, 50, u"abc", {}));
  emf.Add(Emr::SetTextAlign, {0});
  emf.AddRaw(Emr::ExtTextOutW, test::TextBody(100, 50, u"abc", {10, 20, 30}));  // advances: only the baseline moves
  RecordingSurface surface;
  surface.advance = 7;
  surface.metrics.ascent = 16;
  surface.metrics.descent = 4;
  PlayMetafile(emf.Make(), surface, {0, 0, 1000, 1000});
  const auto& texts = surface.out.texts;
  ASSERT_EQ(texts.size(), 4u);
  const auto expect_origins = [](const TextRun& run, std::vector<double> xs, double y) {
    ASSERT_EQ(run.origins.size(), xs.size());
    for (std::size_t k = 0; k < xs.size(); ++k) {
      EXPECT_DOUBLE_EQ(run.origins[k].x, xs[k]);
      EXPECT_DOUBLE_EQ(run.origins[k].y, y);
    }
  };
  expect_origins(texts[0], {100, 107, 114, 121}, 66);
  expect_origins(texts[1], {89.5, 96.5, 103.5, 110.5}, 46);
  expect_origins(texts[2], {79, 86, 93, 100}, 50);
  expect_origins(texts[3], {100, 110, 130, 160}, 66);
  EXPECT_EQ(texts[1].anchor, TextAnchor::Centre);
  EXPECT_EQ(texts[0].reference, (PointD{100, 50}));
}

TEST(PlayerText, EscapementFollowsTheLogicalAxes) {
  EmfBuilder emf;  // y runs up, at twice the scale of x
  emf.Add(Emr::SetMapMode, {8}).Add(Emr::SetWindowExtEx, {100, -100}).Add(Emr::SetViewportExtEx, {100, 200});
  emf.AddRaw(Emr::ExtCreateFontIndirectW, test::FontBody(1, -10, u"Arial", 0, 2700));
  emf.Add(Emr::SelectObject, {1});
  emf.AddRaw(Emr::ExtTextOutW, test::TextBody(500, -250, u"ab", {10, 10}));
  const auto s = Play(emf);
  ASSERT_EQ(s.texts.size(), 1u);
  // 270 degrees in a y-up space reads upwards on the device, and the
  // advances take the vertical scale.
  EXPECT_NEAR(s.texts[0].font.escapement, 90, 1e-6);
  EXPECT_NEAR(s.texts[0].origins[0].y, 500, 1e-6);
  EXPECT_NEAR(s.texts[0].origins[2].y, 460, 1e-6);
  EXPECT_NEAR(s.texts[0].origins[2].x, 500, 1e-6);
}

TEST(PlayerText, OpaqueAndClippedRectangles) {
  EmfBuilder emf;
  emf.Add(Emr::SetBkColor, {0x0000FF});
  emf.AddRaw(Emr::ExtTextOutW, test::TextBody(0, 0, u"x", {5}, true, 0x2 | 0x4, {10, 10, 30, 20}));
  emf.AddRaw(Emr::ExtTextOutW, test::TextBody(0, 0, u"y", {5}));
  const auto s = Play(emf);
  ASSERT_EQ(s.shapes.size(), 1u);
  EXPECT_EQ(s.shapes[0].brush.color, 0xFF0000u);
  ExpectBounds(s.shapes[0].path, {10, 10, 30, 20});
  ASSERT_EQ(s.texts.size(), 2u);
  EXPECT_EQ(s.text_clips[0], (std::vector<RectI>{{10, 10, 30, 20}}));
  EXPECT_TRUE(s.text_clips[1].empty());  // the clip is the record's only
}

// --- Pictures ----------------------------------------------------------------

TEST(PlayerPictures, DibsOfEachDepthAndOrientation) {
  struct Case {
    std::uint16_t bpp;
    std::int32_t height;  // negative: top-down
    std::vector<std::uint32_t> palette;
    Bytes bits;  // 2 x 2 pixels, rows padded to 4 bytes
  };
  const std::uint32_t red = 0xFF0000, blue = 0x0000FF;
  const std::vector<Case> cases{
      {1, 2, {red, blue}, {0x40, 0, 0, 0, 0x80, 0, 0, 0}},  // bottom row: red blue; top: blue red
      {4, 2, {red, blue}, {0x01, 0, 0, 0, 0x10, 0, 0, 0}},
      {8, -2, {red, blue}, {1, 0, 0, 0, 0, 1, 0, 0}},  // top-down: top row blue red
      {24, 2, {}, {0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0}},
      {32, -2, {}, {0xFF, 0, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0xFF, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bpp);
    EmfBuilder emf;
    emf.AddRaw(Emr::StretchDIBits,
               test::StretchDibBody(test::MakeDib(2, c.height, c.bpp, c.palette, c.bits), 10, 20, 4, 4, 2, 2));
    const auto s = Play(emf);
    ASSERT_EQ(s.images.size(), 1u);
    const auto& img = *s.images[0].image;
    ASSERT_EQ(img.pixels.size(), 4u);
    EXPECT_EQ(img.pixels[0] & 0xFFFFFF, blue);  // top-left
    EXPECT_EQ(img.pixels[1] & 0xFFFFFF, red);
    EXPECT_EQ(img.pixels[2] & 0xFFFFFF, red);
    EXPECT_EQ(img.pixels[3] & 0xFFFFFF, blue);
    EXPECT_EQ(s.images[0].dest[0], (PointD{10, 20}));
    EXPECT_EQ(s.images[0].dest[1], (PointD{14, 20}));
    EXPECT_EQ(s.images[0].dest[2], (PointD{10, 24}));
  }
}

// A page that draws one run-length picture again and again decodes and pays
// for it once; the draws share the decoded picture.
TEST(PlayerPictures, RepeatedPayloadsAreDecodedOnce) {
  test::Dib rle = test::MakeDib(4, 2, 8, {0xFF0000, 0x0000FF}, {4, 0, 0, 0, 4, 1, 0, 1});
  rle.bmi[16] = 1;  // BI_RLE8
  const auto play = [&rle](int draws) {
    EmfBuilder emf;
    for (int k = 0; k < draws; ++k) emf.AddRaw(Emr::StretchDIBits, test::StretchDibBody(rle, 10 * k, 0, 8, 4, 4, 2));
    RecordingSurface surface;
    const WorkBudget budget = PlayMetafile(emf.Make(), surface, {0, 0, 1000, 1000});
    return std::pair{budget.Used(Work::PicturePixels), std::move(surface.out)};
  };
  const std::uint64_t once = play(1).first;
  const auto [many, recording] = play(20);
  EXPECT_GT(once, 0u);
  EXPECT_EQ(many, once);
  ASSERT_EQ(recording.images.size(), 20u);
  EXPECT_EQ(recording.images.front().image, recording.images.back().image);
  EXPECT_EQ(recording.images.back().image->pixels[0] & 0xFFFFFF, 0x0000FFu);
}

TEST(PlayerPictures, BitBltWithoutSourceFillsWithTheBrush) {
  EmfBuilder emf;
  emf.Add(Emr::CreateBrushIndirect, {1, 0, 0x00FFFF, 0});
  emf.Add(Emr::SelectObject, {1});
  Bytes blt;
  for (int v : {0, 0, 0, 0, 5, 6, 10, 20}) AppendI32(blt, v);
  AppendU32(blt, Bits(TernaryRop::PatCopy));
  for (int v : {0, 0}) AppendI32(blt, v);
  for (float v : {1.f, 0.f, 0.f, 1.f, 0.f, 0.f}) AppendF32(blt, v);
  for (int v = 0; v < 6; ++v) AppendU32(blt, 0);
  emf.AddRaw(Emr::BitBlt, blt);
  const auto s = Play(emf);
  ASSERT_EQ(s.shapes.size(), 1u);
  EXPECT_EQ(s.shapes[0].brush.color, 0xFFFF00u);
  ExpectBounds(s.shapes[0].path, {5, 6, 15, 26});
}

// --- Damaged records ---------------------------------------------------------

TEST(PlayerRobustness, RecordsThatDoNotFitAreSkipped) {
  EmfBuilder emf;
  Bytes poly;
  for (int v : {0, 0, 0, 0}) AppendI32(poly, v);
  AppendU32(poly, 1000000);  // more points than the record holds
  emf.AddRaw(Emr::Polyline16, poly);
  emf.AddRaw(Emr::ExtTextOutW, Bytes(20, 0));  // cut short
  Bytes text = test::TextBody(0, 0, u"ab", {1, 1});
  StoreU32(text, 36 + 4, 0x7FFFFFF0);  // string offset far outside
  emf.AddRaw(Emr::ExtTextOutW, text);
  emf.Add(Emr::RestoreDC, {static_cast<std::int32_t>(0x80000000u)});
  emf.Add(Emr::SetWindowExtEx, {0, 0});
  emf.Add(Emr::Rectangle, {0, 0, 10, 10});
  const auto s = Play(emf);
  EXPECT_TRUE(s.texts.empty());
  ASSERT_EQ(s.shapes.size(), 2u);
  ExpectBounds(s.shapes[0].path, {0, 0, 10, 10});
}

}  // namespace
}  // namespace pravel::gdi
