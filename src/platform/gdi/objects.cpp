#include "platform/gdi/objects.h"

#include <algorithm>

namespace pravel::gdi {

namespace {

LogPen StockPen(std::uint32_t style, std::uint32_t color) {
  LogPen p;
  p.style = style;
  p.color = color;
  return p;
}

LogBrush StockBrush(std::uint32_t style, std::uint32_t color) {
  LogBrush b;
  b.style = style;
  b.color = color;
  return b;
}

LogFont StockFont(std::u16string face, std::int32_t height, std::int32_t weight, std::uint8_t pitch) {
  LogFont f;
  f.face = std::move(face);
  f.height = height;
  f.weight = weight;
  f.pitch_and_family = pitch;
  return f;
}

}  // namespace

std::optional<GdiObject> StockObject(std::uint32_t n) {
  switch (n) {
    case 0: return StockBrush(kBsSolid, 0xFFFFFF);
    case 1: return StockBrush(kBsSolid, 0xC0C0C0);
    case 2: return StockBrush(kBsSolid, 0x808080);
    case 3: return StockBrush(kBsSolid, 0x404040);
    case 4: return StockBrush(kBsSolid, 0x000000);
    case 5: return StockBrush(kBsNull, 0);
    case 6: return StockPen(0, 0xFFFFFF);
    case 7: return StockPen(0, 0x000000);
    case 8: return StockPen(5, 0);
    case 10: case 11: case 16: return StockFont(u"Courier New", 16, 400, 1);
    case 12: return StockFont(u"MS Sans Serif", 16, 400, 2);
    case 13: case 14: return StockFont(u"System", 16, 700, 2);
    case 17: return StockFont(u"MS Sans Serif", -11, 400, 2);
    case 15: return Palette{};
    case 18: return StockBrush(kBsSolid, 0xFFFFFF);
    case 19: return StockPen(0, 0x000000);
    default: return std::nullopt;
  }
}

LogPen ReadCreatePen(ByteReader& r) {
  LogPen p;
  p.style = r.U32();
  p.width = std::abs(static_cast<double>(r.I32()));
  r.Skip(4);  // lopnWidth.y, unused
  p.color = r.U32();
  return p;
}

std::optional<LogPen> ReadExtCreatePen(ByteReader& r, std::size_t record_size) {
  const std::uint32_t off_bmi = r.U32(), cb_bmi = r.U32();
  r.Skip(8);  // offBits, cbBits
  LogPen p;
  p.extended = true;
  p.style = r.U32();
  p.width = static_cast<double>(r.U32());
  const std::uint32_t brush_style = r.U32();
  p.color = r.U32();
  r.Skip(4);  // elpHatch
  const std::uint32_t entries = r.U32();
  if (brush_style == kBsNull) p.style = (p.style & ~kPsStyleMask) | 5;
  // A count that does not fit the record is taken as none.
  if (entries <= record_size / 4 && r.Has(std::uint64_t{entries} * 4)) {
    for (std::uint32_t k = 0; k < entries; ++k) p.user_dashes.push_back(r.U32());
  }
  // A pen that points at a bitmap of no bytes cannot be made; drawing then
  // keeps the pen selected before it.
  if (off_bmi != 0 && cb_bmi == 0) return std::nullopt;
  return p;
}

LogBrush ReadCreateBrushIndirect(ByteReader& r) {
  LogBrush b;
  b.style = r.U32();
  b.color = r.U32();
  b.hatch = r.U32();
  return b;
}

LogFont ReadLogFont(ByteReader& r) {
  LogFont f;
  f.height = r.I32();
  f.width = r.I32();
  f.escapement = r.I32();
  f.orientation = r.I32();
  f.weight = r.I32();
  f.italic = r.U8() != 0;
  f.underline = r.U8() != 0;
  f.strike_out = r.U8() != 0;
  f.charset = r.U8();
  f.out_precision = r.U8();
  f.clip_precision = r.U8();
  f.quality = r.U8();
  f.pitch_and_family = r.U8();
  for (int k = 0; k < 32; ++k) {
    const char16_t c = r.U16();
    if (c == 0) break;
    f.face.push_back(c);
  }
  return f;
}

}  // namespace pravel::gdi
