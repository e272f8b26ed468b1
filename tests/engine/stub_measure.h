#pragma once
// Font metrics for layout tests: every character 10 wide (0.1 mm), lines 50
// apart.

#include "engine/text_measure.h"

namespace pravel::test {

inline TextMeasure StubMeasure() {
  return {.Advances = [](const Font&,
                         std::string_view text) { return std::vector<long double>(CodePoints(text).size(), 10.0L); },
          .LineHeight = [](const Font&) { return 50.0L; }};
}

}  // namespace pravel::test
