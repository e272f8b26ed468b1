#pragma once
// GDI objects as records create them: pens, brushes and fonts in logical
// units, and the stock objects.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/gdi/emf_types.h"
#include "platform/gdi/surface.h"

namespace pravel::gdi {

// A COLORREF (0x00BBGGRR; palette-relative forms are taken as RGB) as 0xRRGGBB.
constexpr Rgb ColorRefToRgb(std::uint32_t c) noexcept {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

struct LogPen {
  std::uint32_t style = 0;  // PS_* including end cap, join and type bits
  double width = 0;         // logical units; 0 is one device pixel
  std::uint32_t color = 0;  // COLORREF
  bool extended = false;    // from EXTCREATEPEN
  std::vector<std::uint32_t> user_dashes;
};

struct LogBrush {
  BrushStyle style = BrushStyle::Solid;
  std::uint32_t color = 0xFFFFFF;  // COLORREF
  std::uint32_t hatch = 0;
  std::shared_ptr<const Image> pattern;                   // DIB pattern brushes
  std::shared_ptr<const std::vector<std::uint8_t>> mono;  // CREATEMONOBRUSH: 0/1 per pixel
};

struct LogFont {
  std::int32_t height = 0, width = 0, escapement = 0, orientation = 0, weight = 400;
  bool italic = false, underline = false, strike_out = false;
  std::uint8_t charset = 0, out_precision = 0, clip_precision = 0, quality = 0, pitch_and_family = 0;
  std::u16string face;
};

struct Palette {};

using GdiObject = std::variant<LogPen, LogBrush, LogFont, Palette>;

// A stock object, or nothing for an unknown one.
std::optional<GdiObject> StockObject(StockObjectId id);

// Readers of the object records; `fields` starts after the record's type and
// size and the object index. Throw EMetafileError when the record is short.
LogPen ReadCreatePen(ByteReader& fields);
// Nothing when the record names a bitmap that it does not hold.
std::optional<LogPen> ReadExtCreatePen(ByteReader& fields, std::size_t record_size);
LogBrush ReadCreateBrushIndirect(ByteReader& fields);
LogFont ReadLogFont(ByteReader& fields);

}  // namespace pravel::gdi
