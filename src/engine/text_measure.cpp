#include "engine/text_measure.h"

#include <algorithm>

namespace pravel {

namespace {

constexpr long double kTenthMmPerPoint = 254.0L / 72.0L;

// Length of the valid UTF-8 sequence at the start of `s`, or 0.
std::size_t SequenceLength(std::string_view s) noexcept {
  const auto lead = static_cast<unsigned char>(s[0]);
  std::size_t extra = 0;
  char32_t c = 0;
  char32_t min = 0;
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, c = lead & 0x1Fu, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, c = lead & 0x0Fu, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, c = lead & 0x07u, min = 0x10000;
  } else {
    return 0;
  }
  if (extra >= s.size()) return 0;
  for (std::size_t k = 1; k <= extra; ++k) {
    const auto next = static_cast<unsigned char>(s[k]);
    if ((next & 0xC0) != 0x80) return 0;
    c = (c << 6) | (next & 0x3Fu);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return extra + 1;
}

}  // namespace

long double EmHeight(const Font& font) noexcept { return font.Size * kTenthMmPerPoint; }

std::vector<std::string_view> CodePoints(std::string_view text) {
  std::vector<std::string_view> pieces;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t length = std::max<std::size_t>(1, SequenceLength(text.substr(i)));
    pieces.push_back(text.substr(i, length));
    i += length;
  }
  return pieces;
}

TextMeasure ApproximateMeasure() {
  return {.Advances =
              [](const Font& font, std::string_view text) {
                return std::vector<long double>(CodePoints(text).size(), EmHeight(font) / 2);
              },
          .LineHeight = [](const Font& font) { return EmHeight(font) * 1.15L; }};
}

}  // namespace pravel
