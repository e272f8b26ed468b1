#include "attack_pages.h"

#include <bit>
#include <cstdint>
#include <limits>

#include "emf_builder.h"

namespace pravel::gdi::test {

namespace {

constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();

std::int32_t Bits(float f) { return std::bit_cast<std::int32_t>(f); }

// A 4096 x 4096 RLE8 picture of a few bytes: one run, then the end.
Dib RleBomb() {
  Dib d;
  for (std::int32_t v : {40, 4096, 4096}) AppendI32(d.bmi, v);
  AppendU16(d.bmi, 1);
  AppendU16(d.bmi, 8);
  for (std::uint32_t v : {1u, 4u, 0u, 0u, 1u, 0u}) AppendU32(d.bmi, v);
  AppendU32(d.bmi, 0x00FF0000);
  d.bits = {0xFF, 0x00, 0x00, 0x01};
  return d;
}

// Fields of MASKBLT or PLGBLT after their destination: source and mask DIBs.
Bytes BlitFields(Emr type, const Dib& src, const Dib& mask) {
  const std::uint32_t fixed = type == Emr::MaskBlt ? 128 : 140;
  const auto off_bmi = fixed, off_bits = static_cast<std::uint32_t>(off_bmi + src.bmi.size());
  const auto off_mask = static_cast<std::uint32_t>(off_bits + src.bits.size());
  const auto off_mask_bits = static_cast<std::uint32_t>(off_mask + mask.bmi.size());
  Bytes b;
  for (int i = 0; i < 4; ++i) AppendI32(b, 0);  // rclBounds
  if (type == Emr::MaskBlt) {
    for (std::int32_t v : {0, 0, 1000, 1000}) AppendI32(b, v);
    AppendU32(b, 0xCCAA0020u);
    for (std::int32_t v : {0, 0}) AppendI32(b, v);
  } else {
    for (std::int32_t v : {0, 0, 1000, 0, 0, 1000, 0, 0, 4096, 4096}) AppendI32(b, v);
  }
  for (float f : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f}) AppendF32(b, f);
  AppendU32(b, 0);
  for (std::uint32_t v :
       {0u, off_bmi, static_cast<std::uint32_t>(src.bmi.size()), off_bits, static_cast<std::uint32_t>(src.bits.size())})
    AppendU32(b, v);
  for (std::int32_t v : {0, 0}) AppendI32(b, v);
  for (std::uint32_t v : {0u, off_mask, static_cast<std::uint32_t>(mask.bmi.size()), off_mask_bits,
                          static_cast<std::uint32_t>(mask.bits.size())})
    AppendU32(b, v);
  for (const Bytes* part : {&src.bmi, &src.bits, &mask.bmi, &mask.bits}) b.insert(b.end(), part->begin(), part->end());
  return b;
}

Bytes PatternBrushBody(std::uint32_t index, const Dib& dib) {
  Bytes b;
  const std::uint32_t off_bmi = 32, off_bits = static_cast<std::uint32_t>(off_bmi + dib.bmi.size());
  for (std::uint32_t v : {index, 0u, off_bmi, static_cast<std::uint32_t>(dib.bmi.size()), off_bits,
                          static_cast<std::uint32_t>(dib.bits.size())})
    AppendU32(b, v);
  b.insert(b.end(), dib.bmi.begin(), dib.bmi.end());
  b.insert(b.end(), dib.bits.begin(), dib.bits.end());
  return b;
}

// POLYLINE or POLYGON body: a zigzag across the page.
Bytes ZigzagBody(std::uint32_t count) {
  Bytes b;
  for (int v : {0, 0, 1000, 1000}) AppendI32(b, v);
  AppendU32(b, count);
  for (std::uint32_t k = 0; k < count; ++k) {
    AppendI32(b, static_cast<std::int32_t>(k % 1000));
    AppendI32(b, (k & 1) ? 1000 : 0);
  }
  return b;
}

Bytes ExtPenBody(std::uint32_t index, std::uint32_t width, const std::vector<std::uint32_t>& dashes) {
  Bytes b;
  // ihPen, offBmi, cbBmi, offBits, cbBits, style (PS_GEOMETRIC | PS_USERSTYLE), width, brush, entries.
  for (std::uint32_t v :
       {index, 0u, 0u, 0u, 0u, 0x10007u, width, 0u, 0u, 0u, static_cast<std::uint32_t>(dashes.size())})
    AppendU32(b, v);
  for (auto d : dashes) AppendU32(b, d);
  return b;
}

Bytes GradientBody(std::uint32_t mode, std::uint32_t count) {
  Bytes b;
  for (int v : {0, 0, 1000, 1000}) AppendI32(b, v);
  const std::uint32_t vertices = 4;
  for (std::uint32_t v : {vertices, count, mode}) AppendU32(b, v);
  for (const auto& [x, y] : {std::pair{-10, -10}, {1010, -10}, {-10, 1010}, {1010, 1010}}) {
    AppendI32(b, x);
    AppendI32(b, y);
    for (std::uint16_t c : {0xFF00, 0x0000, 0x8000, 0}) AppendU16(b, c);
  }
  for (std::uint32_t k = 0; k < count; ++k) {
    if (mode == 2) {
      for (std::uint32_t v : {0u, 1u, 2u}) AppendU32(b, v);
    } else {
      for (std::uint32_t v : {0u, 3u}) AppendU32(b, v);
    }
  }
  return b;
}

void AddBezierPath(EmfBuilder& e, std::uint32_t points) {
  e.Add(Emr::BeginPath, {});
  e.AddRaw(Emr::PolyBezier, ZigzagBody(points / 3 * 3 + 1));
  e.Add(Emr::EndPath, {});
}

}  // namespace

std::vector<AttackPage> AttackPages() {
  std::vector<AttackPage> pages;
  const auto add = [&pages](std::string name, const EmfBuilder& e, bool exhausts = true) {
    pages.push_back({std::move(name), e.Build(), exhausts});
  };
  const Dib rle = RleBomb();
  {
    EmfBuilder e;
    for (int k = 0; k < 3000; ++k) e.AddRaw(Emr::StretchDIBits, StretchDibBody(rle, 0, 0, 1000, 1000, 4096, 4096));
    add("rle-bomb-stretched", e);
  }
  {
    // Parts of it, each a little to the side: a document output would embed each anew.
    EmfBuilder e;
    for (int k = 0; k < 3000; ++k) {
      Bytes body = StretchDibBody(rle, 0, 0, 1000, 1000, 4000, 4000);
      StoreU32(body, 24, static_cast<std::uint32_t>(k % 7));  // xSrc
      e.AddRaw(Emr::StretchDIBits, body);
    }
    add("rle-bomb-parts-stretched", e);
  }
  for (const Emr type : {Emr::MaskBlt, Emr::PlgBlt}) {
    EmfBuilder e;
    for (int k = 0; k < 1000; ++k) e.AddRaw(type, BlitFields(type, rle, rle));
    add(type == Emr::MaskBlt ? "rle-bomb-maskblt" : "rle-bomb-plgblt", e);
  }
  {
    EmfBuilder e;
    e.Handles(2000);
    for (std::uint32_t k = 1; k < 2000; ++k) e.AddRaw(Emr::CreateDIBPatternBrushPt, PatternBrushBody(k, rle));
    add("pattern-brushes-kept", e);
  }
  {
    EmfBuilder e;
    e.AddRaw(Emr::Polygon, ZigzagBody(150000));
    e.AddRaw(Emr::Polyline, ZigzagBody(50000));
    for (int k = 0; k < 2000; ++k) e.AddRaw(Emr::Polygon, ZigzagBody(8));
    add("polygons-spanning-the-page", e);
  }
  {
    EmfBuilder e;
    AddBezierPath(e, 3000);
    for (int k = 0; k < 12; ++k) e.Add(Emr::WidenPath, {});
    e.Add(Emr::StrokePath, {0, 0, 0, 0});
    add("widen-repeated", e);
  }
  {
    EmfBuilder e;
    e.AddRaw(Emr::ExtCreatePen, ExtPenBody(1, 40, {1, 1}));
    e.Add(Emr::SelectObject, {1});
    AddBezierPath(e, 200000);
    e.Add(Emr::FlattenPath, {});
    e.Add(Emr::WidenPath, {});
    e.Add(Emr::StrokeAndFillPath, {0, 0, 0, 0});
    add("flatten-widen-wide-pen", e);
  }
  {
    EmfBuilder e;
    AddBezierPath(e, 150000);
    e.Add(Emr::SelectClipPath, {1});
    add("clip-path-huge", e);
  }
  {
    EmfBuilder e;
    e.AddRaw(Emr::ExtCreatePen, ExtPenBody(1, 1, std::vector<std::uint32_t>(400000, 1)));
    e.Add(Emr::SelectObject, {1});
    for (int k = 0; k < 20000; ++k) e.Add(Emr::LineTo, {k % 2 ? 1000 : 0, 1000});
    add("user-dashes-400000", e);
  }
  {
    EmfBuilder e;
    e.AddRaw(Emr::GradientFill, GradientBody(0, 200000));
    add("gradient-rectangles", e);
  }
  {
    EmfBuilder e;
    for (int k = 0; k < 5000; ++k) e.AddRaw(Emr::GradientFill, GradientBody(2, 1));
    add("gradient-triangles-page-sized", e);
  }
  {
    EmfBuilder e;
    for (int k = 0; k < 40000; ++k)
      e.Add(Emr::ExcludeClipRect, {(k * 7) % 1000, (k * 13) % 1000, (k * 7) % 1000 + 1, (k * 13) % 1000 + 1});
    add("exclude-clip-holes", e);
  }
  {
    EmfBuilder e;
    std::vector<RectL> staggered;
    staggered.reserve(20000);
    for (int k = 0; k < 20000; ++k) staggered.push_back({k % 500 * 2, k / 20, k % 500 * 2 + 1, k / 20 + 1});
    const Bytes data = RegionData(staggered);
    Bytes body;
    AppendU32(body, static_cast<std::uint32_t>(data.size()));
    AppendU32(body, 5);  // RGN_COPY
    body.insert(body.end(), data.begin(), data.end());
    e.AddRaw(Emr::ExtSelectClipRgn, body);
    for (int k = 0; k < 40000; ++k) e.Add(Emr::SaveDC, {});
    for (int k = 0; k < 20000; ++k) {
      e.Add(Emr::RestoreDC, {-1});
      e.Add(Emr::SetPixelV, {k % 1000, 5, 0});
    }
    add("clip-region-saved", e);
  }
  {
    EmfBuilder e;
    e.AddRaw(Emr::ExtCreateFontIndirectW, FontBody(1, -20000, u"Arial"));
    e.Add(Emr::SelectObject, {1});
    const std::u16string text(400000, u'W');
    e.AddRaw(Emr::ExtTextOutW, TextBody(0, 500, text, {}));
    add("text-run-huge-font", e);
  }
  {
    EmfBuilder e;
    e.AddRaw(Emr::ExtCreateFontIndirectW, FontBody(1, -2000, u"Arial"));
    e.Add(Emr::SelectObject, {1});
    for (int k = 0; k < 3; ++k)
      e.AddRaw(Emr::ExtTextOutW, TextBody(0, 500, std::u16string(100000, u'M'), std::vector<std::int32_t>(100000, 0)));
    add("glyphs-stacked", e);
  }
  {
    EmfBuilder e;
    for (int k = 0; k < 8000; ++k) {
      e.AddRaw(Emr::ExtCreateFontIndirectW, FontBody(1, -(k + 8), u"Arial"));
      e.Add(Emr::SelectObject, {1});
      e.AddRaw(Emr::ExtTextOutW, TextBody(0, 500, u"Ag", {}));
    }
    add("fonts-distinct-sizes", e);
  }
  {
    EmfBuilder e;
    for (int k = 0; k < 95000; ++k) e.Add(Emr::SetPixelV, {k % 1000, k / 1000, 0});
    add("set-pixels", e, false);
  }
  {
    // Cheap calls, each its own group in an SVG document.
    EmfBuilder e;
    for (int k = 0; k < 85000; ++k)
      e.Add(Emr::Rectangle, {k * 7 % 1000, k * 13 % 1000, k * 7 % 1000 + 3, k * 13 % 1000 + 3});
    add("small-rectangles", e);
  }
  {
    // A grid export gives each text its own row and column.
    EmfBuilder e({0, 0, 200000, 200000});
    for (int k = 1; k <= 20000; ++k) e.AddRaw(Emr::ExtTextOutW, TextBody(k, k, u"x", {}));
    add("texts-distinct-rows-and-columns", e, false);
  }
  {
    EmfBuilder e({kIntMin / 2, kIntMin / 2, kIntMax / 2, kIntMax / 2});
    AddBezierPath(e, 2000);
    e.Add(Emr::SelectClipPath, {1});
    e.Add(Emr::Rectangle, {0, 0, 1000, 1000});
    add("huge-frame-clip-path", e, false);
  }
  {
    EmfBuilder e;
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    for (const float s : {1e30f, nan, inf, 0.0f}) {
      e.Add(Emr::SetWorldTransform, {Bits(s), 0, 0, Bits(s), 0, 0});
      e.Add(Emr::ModifyWorldTransform, {Bits(s), 0, 0, Bits(s), Bits(s), 0, 3});
      e.Add(Emr::Rectangle, {0, 0, 1000, 1000});
      e.AddRaw(Emr::ExtTextOutW, TextBody(10, 10, u"x", {}));
    }
    e.Add(Emr::ModifyWorldTransform, {0, 0, 0, 0, 0, 0, 1});
    for (const std::int32_t mode : {7, 8}) {
      e.Add(Emr::SetMapMode, {mode});
      for (const std::int32_t big : {kIntMax, kIntMin}) {
        e.Add(Emr::SetWindowExtEx, {1, 1});
        e.Add(Emr::SetViewportExtEx, {big, big});
        e.Add(Emr::SetWindowOrgEx, {kIntMin, kIntMin});
        e.Add(Emr::SetViewportOrgEx, {kIntMin, kIntMin});
        e.Add(Emr::Ellipse, {0, 0, 1000, 1000});
        e.Add(Emr::IntersectClipRect, {0, 0, 1000, 1000});
        for (int k = 0; k < 3; ++k) e.Add(Emr::OffsetClipRgn, {1 << 30, 1 << 30});
        e.AddRaw(Emr::ExtTextOutW, TextBody(0, 0, u"overflow", {}));
      }
    }
    add("coordinates-overflowing", e, false);
  }
  return pages;
}

}  // namespace pravel::gdi::test
