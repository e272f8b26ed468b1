#pragma once
// Colours and font descriptions as the report side uses them.

#include <cstdint>
#include <string>

namespace pravel {

// A colour value: 0x00BBGGRR (red in the lowest byte), or a system colour
// 0x80000000 | index.
using ColorValue = std::int32_t;

inline constexpr ColorValue kColorBlack = 0x000000;
inline constexpr ColorValue kColorWhite = 0xFFFFFF;
inline constexpr ColorValue kColorRed = 0x0000FF;
inline constexpr ColorValue kColorBlue = 0xFF0000;
inline constexpr ColorValue kColorWindowText = static_cast<ColorValue>(0x80000008u);
inline constexpr ColorValue kColorWindow = static_cast<ColorValue>(0x80000005u);

constexpr bool IsSystemColor(ColorValue c) noexcept { return c < 0; }

// The RGB value (0x00BBGGRR) of a colour; system colours take the usual
// desktop values (window text black, window white, ...).
std::uint32_t ColorToRgb(ColorValue c) noexcept;

enum FontStyle : unsigned {
  kFontBold = 1u << 0,
  kFontItalic = 1u << 1,
  kFontUnderline = 1u << 2,
  kFontStrikeOut = 1u << 3,
};

// A font as a report names it.
struct Font {
  std::string Name = "Arial";
  int Size = 8;        // points
  unsigned Style = 0;  // FontStyle bits
  ColorValue Color = kColorWindowText;
  std::uint8_t Charset = 1;  // 0 ANSI, 1 default, 238 Central European, ...

  bool Bold() const noexcept { return (Style & kFontBold) != 0; }
  bool Italic() const noexcept { return (Style & kFontItalic) != 0; }
  friend bool operator==(const Font&, const Font&) = default;
};

}  // namespace pravel
