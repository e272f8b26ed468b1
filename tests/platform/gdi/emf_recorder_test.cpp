#include "platform/gdi/emf_recorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "platform/gdi/record_reader.h"

namespace pravel::gdi {
namespace {

using R = EmfRecorder;

// The records between the header and the EOF record.
std::vector<EmfRecord> Body(const Metafile& mf) {
  RecordReader reader(mf);
  std::vector<EmfRecord> out;
  while (auto r = reader.Next()) out.push_back(*r);
  EXPECT_GE(out.size(), 2u);
  EXPECT_EQ(out.front().type, static_cast<std::uint32_t>(Emr::Header));
  EXPECT_EQ(out.back().type, static_cast<std::uint32_t>(Emr::Eof));
  return {out.begin() + 1, out.end() - 1};
}

// The record's 32-bit fields from byte 8 on.
std::vector<std::int32_t> Fields(const EmfRecord& r, std::size_t count) {
  std::vector<std::int32_t> out;
  for (std::size_t i = 0; i < count; ++i) out.push_back(LoadI32(r.bytes, 8 + 4 * i));
  return out;
}

void ExpectRecord(const EmfRecord& r, Emr type, std::size_t size, const std::vector<std::int32_t>& fields) {
  EXPECT_EQ(r.type, static_cast<std::uint32_t>(type)) << EmrName(r.type);
  EXPECT_EQ(r.bytes.size(), size) << EmrName(r.type);
  EXPECT_EQ(LoadU32(r.bytes, 4), size);
  EXPECT_EQ(Fields(r, fields.size()), fields) << EmrName(r.type);
}

RectL HeaderBounds(const Metafile& mf) { return mf.Header().rclBounds; }

TEST(EmfRecorder, HeaderDescribesTheScreenAndThePictureSize) {
  const Metafile mf = EmfRecorder(794, 1123).Finish();
  const EmfHeader& h = mf.Header();
  EXPECT_EQ(h.nSize, 108u);
  EXPECT_EQ(h.nVersion, 0x10000u);
  EXPECT_EQ(h.nBytes, mf.Size());
  EXPECT_EQ(h.nRecords, 2u);
  EXPECT_EQ(h.nHandles, 1);
  EXPECT_EQ(h.nDescription, 0u);
  EXPECT_EQ(h.szlDevice, (SizeL{1920, 1440}));
  EXPECT_EQ(h.szlMillimeters, (SizeL{508, 381}));
  EXPECT_EQ(h.szlMicrometers, (SizeL{508000, 381000}));
  EXPECT_EQ(h.rclBounds, (RectL{0, 0, -1, -1}));  // nothing drawn
  EXPECT_EQ(h.rclFrame, (RectL{0, 0, 21008, 29713}));
  EXPECT_EQ(mf.Width(), 794);
  EXPECT_EQ(mf.Height(), 1123);
  const ByteSpan eof = mf.Data().last(20);
  EXPECT_EQ(Fields(EmfRecord{14, 0, eof}, 3), (std::vector<std::int32_t>{0, 16, 20}));

  for (std::int32_t size = 1; size <= 4000; size += 7) {
    const Metafile m = EmfRecorder(size, size + 1).Finish();
    ASSERT_EQ(m.Width(), size);
    ASSERT_EQ(m.Height(), size + 1);
  }
  EXPECT_THROW(EmfRecorder(0, 10), std::invalid_argument);
}

TEST(EmfRecorder, DescriptionNamesTheProgramAndThePage) {
  const Metafile mf = EmfRecorder(10, 10, u"Page 1").Finish();
  const std::u16string expected(u"Pravel\0Page 1\0\0", 15);
  EXPECT_EQ(mf.Header().nDescription, 15u);
  EXPECT_EQ(mf.Header().offDescription, 108u);
  EXPECT_EQ(mf.Header().nSize, 108u + 32u);
  std::u16string text;
  for (std::size_t i = 0; i < 15; ++i) text.push_back(static_cast<char16_t>(LoadU16(mf.Data(), 108 + 2 * i)));
  EXPECT_EQ(text, expected);
  EXPECT_TRUE(Body(mf).empty());
}

TEST(EmfRecorder, ObjectsTakeTheLowestFreeHandle) {
  EmfRecorder rec(100, 100);
  EXPECT_EQ(rec.CreatePen(LineStyle::Dash, 3, 0x0000FF), 1u);
  EXPECT_EQ(rec.CreateBrushIndirect(BrushStyle::Hatched, 0x00FF00, 5), 2u);
  const std::uint32_t dashes[] = {6, 2};
  EXPECT_EQ(rec.ExtCreatePen(PenStyleBits(LineStyle::UserStyle, PenType::Geometric), 4, BrushStyle::Solid, 0x123456, 0,
                             dashes),
            3u);
  rec.SelectObject(2);
  rec.SelectStockObject(R::Stock::NullBrush);
  rec.DeleteObject(2);
  rec.DeleteObject(StockHandle(StockObjectId::BlackPen));  // not recorded
  EXPECT_EQ(rec.CreateSolidBrush(0xFFFFFF), 2u);
  EXPECT_THROW(rec.SelectObject(9), std::invalid_argument);
  EXPECT_THROW(rec.DeleteObject(0), std::invalid_argument);
  const Metafile mf = rec.Finish();
  EXPECT_EQ(mf.Header().nHandles, 4);

  const auto body = Body(mf);
  ASSERT_EQ(body.size(), 7u);
  ExpectRecord(body[0], Emr::CreatePen, 28, {1, ToUnderlying(LineStyle::Dash), 3, 0, 0x0000FF});
  ExpectRecord(body[1], Emr::CreateBrushIndirect, 24, {2, ToUnderlying(BrushStyle::Hatched), 0x00FF00, 5});
  ExpectRecord(body[2], Emr::ExtCreatePen, 60,
               {3, 60, 0, 60, 0, 0x10007, 4, ToUnderlying(BrushStyle::Solid), 0x123456, 0, 2, 6, 2});
  ExpectRecord(body[3], Emr::SelectObject, 12, {2});
  ExpectRecord(body[4], Emr::SelectObject, 12, {static_cast<std::int32_t>(0x80000005u)});
  ExpectRecord(body[5], Emr::DeleteObject, 12, {2});
  ExpectRecord(body[6], Emr::CreateBrushIndirect, 24, {2, ToUnderlying(BrushStyle::Solid), 0xFFFFFF, 0});
}

TEST(EmfRecorder, FontRecordHoldsTheWholeLogFont) {
  EmfRecorder rec(100, 100);
  Font font;
  font.Name = "Żółw Sans";
  font.Size = 8;
  font.Style = kFontBold | kFontItalic | kFontStrikeOut;
  font.Charset = 238;
  LogFontW lf = LogFontFromFont(font);
  EXPECT_EQ(lf.height, -11);  // 8 pt at 96 dpi = 10.67 px
  lf.width = 5;
  lf.escapement = 900;
  lf.orientation = 450;
  lf.face += u" with a name longer than thirty-one";
  rec.CreateFont(lf);
  const Metafile mf = rec.Finish();
  const auto body = Body(mf);
  ASSERT_EQ(body.size(), 1u);
  const EmfRecord& r = body[0];
  ExpectRecord(r, Emr::ExtCreateFontIndirectW, 368, {1, -11, 5, 900, 450, 700});
  EXPECT_EQ(r.bytes[32], 1);    // italic
  EXPECT_EQ(r.bytes[33], 0);    // underline
  EXPECT_EQ(r.bytes[34], 1);    // strike-out
  EXPECT_EQ(r.bytes[35], 238);  // charset
  std::u16string face;
  for (std::size_t i = 0; i < 32; ++i) face.push_back(static_cast<char16_t>(LoadU16(r.bytes, 40 + 2 * i)));
  EXPECT_EQ(face, (lf.face.substr(0, 31) + u'\0'));
  EXPECT_EQ(face.substr(0, 4), u"Żółw");
  EXPECT_EQ(LoadU32(r.bytes, 360), 0x08007664u);  // design vector without axes
  EXPECT_EQ(LoadU32(r.bytes, 364), 0u);
}

TEST(EmfRecorder, StateAndClipRecords) {
  EmfRecorder rec(100, 100);
  rec.SetTextAlign(R::kTaBaseline | R::kTaCenter);
  rec.SetMapMode(MapMode::Anisotropic);
  rec.SetWindowOrgEx(-5, 6);
  rec.SetWindowExtEx(100, 200);
  rec.SetViewportOrgEx(7, -8);
  rec.SetViewportExtEx(300, 400);
  rec.SaveDC();
  rec.RestoreDC(-1);
  rec.IntersectClipRect({1, 2, 3, 4});
  rec.SetWorldTransform({2, 0, 0, 0.5f, 10, -20});
  rec.ModifyWorldTransform({}, WorldTransformMode::Identity);
  rec.SelectClipPath(RegionMode::And);
  const RectL rects[] = {{0, 0, 10, 10}, {20, -5, 30, 5}};
  rec.ExtSelectClipRgn(rects, RegionMode::Copy);
  rec.ExtSelectClipRgn({}, RegionMode::Copy);
  const Metafile mf = rec.Finish();
  const auto body = Body(mf);
  ASSERT_EQ(body.size(), 14u);
  ExpectRecord(body[0], Emr::SetTextAlign, 12, {30});
  ExpectRecord(body[1], Emr::SetMapMode, 12, {8});
  ExpectRecord(body[2], Emr::SetWindowOrgEx, 16, {-5, 6});
  ExpectRecord(body[3], Emr::SetWindowExtEx, 16, {100, 200});
  ExpectRecord(body[4], Emr::SetViewportOrgEx, 16, {7, -8});
  ExpectRecord(body[5], Emr::SetViewportExtEx, 16, {300, 400});
  ExpectRecord(body[6], Emr::SaveDC, 8, {});
  ExpectRecord(body[7], Emr::RestoreDC, 12, {-1});
  ExpectRecord(body[8], Emr::IntersectClipRect, 24, {1, 2, 3, 4});
  ExpectRecord(body[9], Emr::SetWorldTransform, 32, {});
  EXPECT_EQ(LoadF32(body[9].bytes, 8), 2.0f);
  EXPECT_EQ(LoadF32(body[9].bytes, 20), 0.5f);
  EXPECT_EQ(LoadF32(body[9].bytes, 28), -20.0f);
  ExpectRecord(body[10], Emr::ModifyWorldTransform, 36, {});
  EXPECT_EQ(LoadU32(body[10].bytes, 32), ToUnderlying(WorldTransformMode::Identity));
  ExpectRecord(body[11], Emr::SelectClipPath, 12, {1});
  ExpectRecord(body[12], Emr::ExtSelectClipRgn, 16 + 32 + 32,
               {64, 5, 32, 1, 2, 32, 0, -5, 30, 10, 0, 0, 10, 10, 20, -5, 30, 5});
  ExpectRecord(body[13], Emr::ExtSelectClipRgn, 16, {0, 5});
}

TEST(EmfRecorder, ShapesAndPointForms) {
  EmfRecorder rec(100, 100);
  rec.MoveTo(1, 2);
  rec.LineTo(3, 4);
  rec.Rectangle({10, 20, 30, 40});
  rec.RoundRect({10, 20, 30, 40}, {5, 6});
  rec.Ellipse({1, 2, 3, 4});
  rec.Arc({0, 0, 10, 10}, {10, 5}, {0, 5});
  const EmfPoint small[] = {{0, 0}, {10, -5}, {20, 7}};
  const EmfPoint large[] = {{0, 0}, {40000, 5}};
  rec.Polyline(small);
  rec.Polygon(large);
  rec.PolyBezier(small, R::PointSize::Long);
  const std::uint32_t counts[] = {1, 2};
  rec.PolyPolygon(small, counts);
  rec.SetPixelV({4, 5}, 0x00FF00);
  EXPECT_THROW(rec.Polyline(large, R::PointSize::Short), std::invalid_argument);
  const std::uint32_t wrong[] = {1, 1};
  EXPECT_THROW(rec.PolyPolygon(small, wrong), std::invalid_argument);
  const Metafile mf = rec.Finish();
  const auto body = Body(mf);
  ASSERT_EQ(body.size(), 11u);
  ExpectRecord(body[0], Emr::MoveToEx, 16, {1, 2});
  ExpectRecord(body[1], Emr::LineTo, 16, {3, 4});
  ExpectRecord(body[2], Emr::Rectangle, 24, {10, 20, 30, 40});
  ExpectRecord(body[3], Emr::RoundRect, 32, {10, 20, 30, 40, 5, 6});
  ExpectRecord(body[4], Emr::Ellipse, 24, {1, 2, 3, 4});
  ExpectRecord(body[5], Emr::Arc, 40, {0, 0, 10, 10, 10, 5, 0, 5});
  // Bounds in pixels (inclusive), count, then 16-bit x,y pairs.
  ExpectRecord(body[6], Emr::Polyline16, 8 + 16 + 4 + 12, {0, -5, 20, 7, 3, 0, static_cast<std::int32_t>(0xFFFB000Au)});
  ExpectRecord(body[7], Emr::Polygon, 8 + 16 + 4 + 16, {0, 0, 40000, 5, 2, 0, 0, 40000, 5});
  ExpectRecord(body[8], Emr::PolyBezier, 8 + 16 + 4 + 24, {0, -5, 20, 7, 3, 0, 0, 10, -5});
  ExpectRecord(body[9], Emr::PolyPolygon16, 8 + 16 + 8 + 8 + 12, {0, -5, 20, 7, 2, 3, 1, 2, 0});
  ExpectRecord(body[10], Emr::SetPixelV, 20, {4, 5, 0x00FF00});
}

TEST(EmfRecorder, TextRecordsCarryStringAndAdvances) {
  EmfRecorder rec(200, 100);
  const std::int32_t dx3[] = {7, 8, 9};
  rec.ExtTextOut({10, 20}, u"abc", dx3, R::kEtoOpaque | R::kEtoClipped, RectL{5, 6, 50, 60});
  // UTF-8: one advance per code point; U+1D11E takes two code units.
  const std::int32_t dx2[] = {4, 11};
  rec.ExtTextOut({0, 0}, "\xC5\xBC\xF0\x9D\x84\x9E", dx2);
  const std::uint8_t ansi[] = {0xB9, 0xE6, 0x20, 0x41};
  const std::int32_t dx4[] = {1, 2, 3, 4};
  rec.ExtTextOutA({1, 2}, ansi, dx4);
  EXPECT_THROW(rec.ExtTextOut({0, 0}, u"ab", dx3), std::invalid_argument);
  EXPECT_THROW(rec.ExtTextOut({0, 0}, "ab", dx3), std::invalid_argument);
  const Metafile mf = rec.Finish();
  const auto body = Body(mf);
  ASSERT_EQ(body.size(), 3u);

  const EmfRecord& w = body[0];
  EXPECT_EQ(w.type, static_cast<std::uint32_t>(Emr::ExtTextOutW));
  ASSERT_EQ(w.bytes.size(), 76u + 8 + 12);  // 6 string bytes padded to 8
  EXPECT_EQ(LoadU32(w.bytes, 24), 1u);      // GM_COMPATIBLE
  EXPECT_NEAR(LoadF32(w.bytes, 28), 26.4583f, 1e-3);
  EXPECT_NEAR(LoadF32(w.bytes, 32), 26.4583f, 1e-3);
  const std::vector<std::int32_t> fixed = Fields(w, 17);
  EXPECT_EQ(std::vector<std::int32_t>(fixed.begin(), fixed.begin() + 4),
            (std::vector<std::int32_t>{5, 6, 49, 59}));  // the opaque rectangle holds the text
  EXPECT_EQ(std::vector<std::int32_t>(fixed.begin() + 7, fixed.end()),
            (std::vector<std::int32_t>{10, 20, 3, 76, 6, 5, 6, 50, 60, 84}));
  EXPECT_EQ(LoadU16(w.bytes, 76), u'a');
  EXPECT_EQ(LoadU16(w.bytes, 80), u'c');
  EXPECT_EQ(LoadU16(w.bytes, 82), 0);
  EXPECT_EQ(LoadI32(w.bytes, 84), 7);
  EXPECT_EQ(LoadI32(w.bytes, 92), 9);

  const EmfRecord& u = body[1];
  EXPECT_EQ(LoadU32(u.bytes, 44), 3u);  // chars: UTF-16 code units
  EXPECT_EQ(LoadU16(u.bytes, 76), 0x017C);
  EXPECT_EQ(LoadU16(u.bytes, 78), 0xD834);
  EXPECT_EQ(LoadU16(u.bytes, 80), 0xDD1E);
  EXPECT_EQ(LoadU32(u.bytes, 72), 84u);
  EXPECT_EQ(LoadI32(u.bytes, 84), 4);
  EXPECT_EQ(LoadI32(u.bytes, 88), 11);
  EXPECT_EQ(LoadI32(u.bytes, 92), 0);
  EXPECT_EQ(LoadI32(u.bytes, 56), 0);  // no rectangle: (0, 0, -1, -1)
  EXPECT_EQ(LoadI32(u.bytes, 64), -1);

  const EmfRecord& a = body[2];
  EXPECT_EQ(a.type, static_cast<std::uint32_t>(Emr::ExtTextOutA));
  EXPECT_EQ(a.bytes.size(), 76u + 4 + 16);
  EXPECT_EQ(LoadU32(a.bytes, 44), 4u);
  EXPECT_EQ(std::memcmp(a.bytes.data() + 76, ansi, 4), 0);
  EXPECT_EQ(LoadI32(a.bytes, 92), 4);
}

TEST(EmfRecorder, PicturesAreStoredAsDecodableDibs) {
  Bitmap bm;
  bm.width = 3;
  bm.height = 2;
  bm.pixels = {0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u, 0xFFD0E0F0u, 0xFF000000u};
  EmfRecorder rec(100, 100);
  rec.StretchDIBits({10, 20, 124, 168}, bm);
  rec.StretchDIBits({0, 0, 5, 5}, {1, 0, 3, 1}, bm, R::kSrcAnd);  // top row, right two pixels
  rec.BitBlt({40, 50, 42, 52}, bm, {1, 0}, R::kSrcPaint);
  rec.BitBlt({0, 0, 8, 9}, R::kPatCopy);
  const Metafile mf = rec.Finish();
  const auto body = Body(mf);
  ASSERT_EQ(body.size(), 4u);

  const std::size_t bits = 2 * 12;  // 9 bytes a row, padded
  ExpectRecord(body[0], Emr::StretchDIBits, 80 + 40 + bits,
               {10, 20, 123, 167, 10, 20, 0, 0, 3, 2, 80, 40, 120, 24, 0, 0xCC0020, 114, 148});
  ExpectRecord(body[1], Emr::StretchDIBits, 80 + 40 + bits,
               {0, 0, 4, 4, 0, 0, 1, 1, 2, 1, 80, 40, 120, 24, 0, 0x8800C6, 5, 5});
  const EmfRecord& s = body[0];
  const DibPicture picture = DecodeDib(s.bytes.subspan(80, 40), s.bytes.subspan(120, bits));
  EXPECT_EQ(std::get<Bitmap>(picture).pixels, bm.pixels);

  ExpectRecord(body[2], Emr::BitBlt, 100 + 40 + bits, {40, 50, 41, 51, 40, 50, 2, 2, 0xEE0086, 1, 0});
  const EmfRecord& b = body[2];
  EXPECT_EQ(LoadF32(b.bytes, 52), 1.0f);  // source transform: identity
  EXPECT_EQ(LoadF32(b.bytes, 64), 1.0f);
  EXPECT_EQ(LoadU32(b.bytes, 76), 0xFFFFFFu);  // background colour
  EXPECT_EQ(Fields(b, 23).back(), 24);         // cbBitsSrc
  EXPECT_EQ(LoadU32(b.bytes, 84), 100u);
  EXPECT_EQ(LoadU32(b.bytes, 92), 140u);
  EXPECT_EQ(std::get<Bitmap>(DecodeDib(b.bytes.subspan(100, 40), b.bytes.subspan(140))).pixels, bm.pixels);
  ExpectRecord(body[3], Emr::BitBlt, 100, {0, 0, 7, 8, 0, 0, 8, 9, 0xF00021});
  EXPECT_EQ(LoadU32(body[3].bytes, 88), 0u);  // no source bitmap

  bm.pixels.pop_back();
  EmfRecorder bad(10, 10);
  EXPECT_THROW(bad.StretchDIBits({0, 0, 1, 1}, bm), std::invalid_argument);
}

TEST(EmfRecorder, BoundsCoverWhatWasDrawn) {
  const auto bounds = [](const std::function<void(EmfRecorder&)>& draw) {
    EmfRecorder rec(500, 500);
    draw(rec);
    return HeaderBounds(rec.Finish());
  };
  // Filled shapes leave out their right and bottom edge; lines keep their end.
  EXPECT_EQ(bounds([](EmfRecorder& r) { r.Rectangle({10, 20, 110, 220}); }), (RectL{10, 20, 109, 219}));
  EXPECT_EQ(bounds([](EmfRecorder& r) {
              r.MoveTo(300, 5);
              r.LineTo(200, 50);
              r.Ellipse({0, 100, 10, 110});
            }),
            (RectL{0, 5, 300, 109}));
  // Wide pens reach beyond the outline.
  EXPECT_EQ(bounds([](EmfRecorder& r) {
              r.SelectObject(r.CreatePen(LineStyle::Solid, 6, 0));
              r.Rectangle({10, 10, 20, 20});
            }),
            (RectL{7, 7, 22, 22}));
  // The world transform and the map mode move drawing to device pixels.
  EXPECT_EQ(bounds([](EmfRecorder& r) {
              r.SetWorldTransform({2, 0, 0, 2, 5, 0});
              r.Rectangle({0, 0, 10, 10});
            }),
            (RectL{5, 0, 24, 19}));
  EXPECT_EQ(bounds([](EmfRecorder& r) {
              r.SetMapMode(MapMode::Isotropic);
              r.SetWindowExtEx(100, 100);
              r.SetViewportExtEx(200, 400);  // shrinks to 200 x 200
              r.Rectangle({0, 0, 50, 50});
            }),
            (RectL{0, 0, 99, 99}));
  // A path counts once it is filled or stroked.
  EXPECT_EQ(bounds([](EmfRecorder& r) {
              r.BeginPath();
              r.Rectangle({50, 50, 60, 60});
              r.EndPath();
            }),
            (RectL{0, 0, -1, -1}));
  EXPECT_EQ(bounds([](EmfRecorder& r) {
              r.BeginPath();
              r.Rectangle({50, 50, 60, 60});
              r.EndPath();
              r.FillPath();
            }),
            (RectL{50, 50, 59, 59}));
  // Text: the advances across, an estimated cell down from the top; saved
  // and restored alignment.
  const std::int32_t dx[] = {10, 10, 10};
  EXPECT_EQ(bounds([&](EmfRecorder& r) {
              LogFontW lf;
              lf.height = -20;
              r.SelectObject(r.CreateFont(lf));
              r.SaveDC();
              r.SetTextAlign(R::kTaRight);
              r.RestoreDC(-1);
              r.ExtTextOut({100, 100}, u"abc", dx);
            }),
            (RectL{100, 100, 129, 122}));
  EXPECT_EQ(bounds([&](EmfRecorder& r) {
              r.ExtTextOut({100, 100}, u"abc", dx, R::kEtoOpaque, RectL{0, 0, 400, 10});
            }),
            (RectL{0, 0, 399, 115}));
}

TEST(EmfRecorder, RawRecordsAndUseAfterFinish) {
  EmfRecorder rec(10, 10);
  const std::uint8_t odd[] = {1, 2, 3, 4, 5};
  rec.AppendRecord(static_cast<std::uint32_t>(Emr::GdiComment), odd);
  EXPECT_THROW(rec.AppendRecord(static_cast<std::uint32_t>(Emr::Eof), {}), std::invalid_argument);
  const Metafile mf = rec.Finish();
  const auto body = Body(mf);
  ASSERT_EQ(body.size(), 1u);
  ExpectRecord(body[0], Emr::GdiComment, 16, {0x04030201, 5});
  EXPECT_THROW(rec.SetBkMode(BackgroundMode::Opaque), std::logic_error);
  EXPECT_THROW(rec.Finish(), std::logic_error);
}

// The start page: labels, a stretched 114 x 148 picture, lines and a frame.
TEST(EmfRecorder, StartPageRoundTripsThroughMetafileBytes) {
  EmfRecorder rec(794, 1123, u"Page 1");
  Font font;
  font.Size = 14;
  font.Style = kFontBold;
  rec.SelectObject(rec.CreateFont(LogFontFromFont(font)));
  rec.SetBkMode(BackgroundMode::Transparent);
  rec.SetTextColor(ColorToRgb(kColorBlue));
  const std::int32_t dx[] = {12, 12, 12, 12, 12, 12};
  rec.ExtTextOut({100, 80}, "Pravel", dx);
  Bitmap picture;
  picture.width = 114;
  picture.height = 148;
  picture.pixels.assign(114 * 148, 0xFF336699u);
  rec.StretchDIBits({600, 40, 714, 188}, picture);
  rec.SelectObject(rec.CreatePen(LineStyle::Solid, 1, 0));
  rec.MoveTo(40, 200);
  rec.LineTo(754, 200);
  rec.SelectStockObject(R::Stock::NullBrush);
  rec.Rectangle({40, 40, 754, 1083});
  const Metafile mf = rec.Finish();

  const Metafile copy = Metafile::FromBytes(mf.Data());
  EXPECT_EQ(copy.Size(), mf.Size());
  EXPECT_EQ(copy.Header().nRecords, Body(copy).size() + 2);
  EXPECT_EQ(copy.Header().nHandles, 3);
  EXPECT_EQ(copy.Header().rclBounds, (RectL{40, 40, 754, 1082}));
  EXPECT_EQ(copy.Width(), 794);
  EXPECT_EQ(copy.Height(), 1123);
  for (const EmfRecord& r : Body(copy)) EXPECT_EQ(r.bytes.size() % 4, 0u) << EmrName(r.type);
}

}  // namespace
}  // namespace pravel::gdi
