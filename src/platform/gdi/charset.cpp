#include "platform/gdi/charset.h"

#include <array>

namespace pravel::gdi {

namespace {

// Bytes 0x80..0xFF by charset; undefined bytes map to U+0080..U+00FF as Windows does.
struct CodePage {
  std::uint8_t charset;
  std::array<char16_t, 128> high;
};

constexpr std::array kCodePages{
#include "code_pages.inc"
};

// The first code page, ANSI, serves the charsets without one of their own.
const CodePage& CodePageFor(std::uint8_t charset) {
  for (const CodePage& page : kCodePages)
    if (page.charset == charset) return page;
  return kCodePages.front();
}

}  // namespace

std::u16string DecodeAnsi(ByteSpan bytes, std::uint8_t charset) {
  std::u16string out;
  out.reserve(bytes.size());
  if (charset == kSymbolCharset) {
    for (const std::uint8_t b : bytes) out.push_back(static_cast<char16_t>(b));
    return out;
  }
  const auto& high = CodePageFor(charset).high;
  for (const std::uint8_t b : bytes) out.push_back(b < 0x80 ? static_cast<char16_t>(b) : high[b - 0x80u]);
  return out;
}

}  // namespace pravel::gdi
