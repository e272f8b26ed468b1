#pragma once
// Text metrics of report fonts from the local stand-in fonts, in 0.1 mm at
// the font's point size.

#include <string_view>
#include <vector>

#include "platform/font.h"

namespace pravel::qt {

// The advance of each code point of the UTF-8 `text`, without kerning.
std::vector<long double> TextAdvances(const Font& font, std::string_view text);
// Ascent plus descent: the distance between two lines.
long double LineHeight(const Font& font);

}  // namespace pravel::qt
