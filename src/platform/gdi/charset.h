#pragma once
// 8-bit text of EXTTEXTOUTA records, decoded through the code page of the
// font's character set.

#include <cstdint>
#include <string>

#include "platform/bytes.h"

namespace pravel::gdi {

inline constexpr std::uint8_t kSymbolCharset = 2;

// Windows-1250/1251/1252/1253/1254/1257 by charset (EASTEUROPE, RUSSIAN,
// ANSI, GREEK, TURKISH, BALTIC; others as 1252); SYMBOL bytes map to U+0000..U+00FF.
std::u16string DecodeAnsi(ByteSpan bytes, std::uint8_t charset);

}  // namespace pravel::gdi
