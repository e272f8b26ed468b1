#pragma once
// Font metrics the report layout needs, supplied by the program (a font
// engine over the installed fonts) or by a test.

#include <functional>
#include <string_view>
#include <vector>

#include "platform/font.h"

namespace pravel {

// Lengths in 0.1 mm for a font at its point size.
struct TextMeasure {
  // The advance of each code point of the UTF-8 `text`.
  std::function<std::vector<long double>(const Font& font, std::string_view text)> Advances;
  // The distance from one line's top to the next one's.
  std::function<long double(const Font& font)> LineHeight;
};

// Metrics from the font size alone: every character half an em wide, lines
// 1.15 em apart. For use when no font engine is at hand.
TextMeasure ApproximateMeasure();

// The em size of `font` in 0.1 mm.
long double EmHeight(const Font& font) noexcept;

// The code points of a UTF-8 string, each as its own UTF-8 piece; a byte
// that starts no valid sequence is a piece of its own.
std::vector<std::string_view> CodePoints(std::string_view text);

}  // namespace pravel
