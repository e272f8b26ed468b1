#include "platform/gdi/objects.h"

#include <algorithm>

namespace pravel::gdi {

namespace {

LogPen StockPen(LineStyle style, std::uint32_t color) {
  LogPen p;
  p.style = ToUnderlying(style);
  p.color = color;
  return p;
}

LogBrush StockBrush(BrushStyle style, std::uint32_t color) {
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

std::optional<GdiObject> StockObject(StockObjectId id) {
  using enum StockObjectId;
  switch (id) {
    case WhiteBrush:
    case DcBrush: return StockBrush(BrushStyle::Solid, 0xFFFFFF);
    case LtGrayBrush: return StockBrush(BrushStyle::Solid, 0xC0C0C0);
    case GrayBrush: return StockBrush(BrushStyle::Solid, 0x808080);
    case DkGrayBrush: return StockBrush(BrushStyle::Solid, 0x404040);
    case BlackBrush: return StockBrush(BrushStyle::Solid, 0x000000);
    case NullBrush: return StockBrush(BrushStyle::Null, 0);
    case WhitePen: return StockPen(LineStyle::Solid, 0xFFFFFF);
    case BlackPen:
    case DcPen: return StockPen(LineStyle::Solid, 0x000000);
    case NullPen: return StockPen(LineStyle::Null, 0);
    case OemFixedFont:
    case AnsiFixedFont:
    case SystemFixedFont: return StockFont(u"Courier New", 16, 400, 1);
    case AnsiVarFont: return StockFont(u"MS Sans Serif", 16, 400, 2);
    case SystemFont:
    case DeviceDefaultFont: return StockFont(u"System", 16, 700, 2);
    case DefaultGuiFont: return StockFont(u"MS Sans Serif", -11, 400, 2);
    case DefaultPalette: return Palette{};
  }
  return std::nullopt;
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
  const auto brush_style = static_cast<BrushStyle>(r.U32());
  p.color = r.U32();
  r.Skip(4);  // elpHatch
  const std::uint32_t entries = r.U32();
  if (brush_style == BrushStyle::Null) p.style = (p.style & ~kLineStyleMask) | ToUnderlying(LineStyle::Null);
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
  b.style = static_cast<BrushStyle>(r.U32());
  b.color = r.U32();
  b.hatch = r.U32();
  return b;
}

LogFont ReadLogFont(ByteReader& r) {
  LogFont f;
  for (std::int32_t* field : {&f.height, &f.width, &f.escapement, &f.orientation, &f.weight}) *field = r.I32();
  for (bool* flag : {&f.italic, &f.underline, &f.strike_out}) *flag = r.U8() != 0;
  for (std::uint8_t* field : {&f.charset, &f.out_precision, &f.clip_precision, &f.quality, &f.pitch_and_family})
    *field = r.U8();
  for (int k = 0; k < 32; ++k) {
    const char16_t c = r.U16();
    if (c == 0) break;
    f.face.push_back(c);
  }
  return f;
}

}  // namespace pravel::gdi
