#pragma once
// Ascent and descent of the common report faces as fractions of the em, for
// placing a text's top without the font files at hand.

#include <string_view>

namespace pravel {

struct FaceMetrics {
  double Ascent = 0.905;
  double Descent = 0.212;
  // Ascent plus descent: the cell height per em.
  double Cell() const noexcept { return Ascent + Descent; }
};

// The metrics of `face` (case-insensitive; a Central European " CE" variant
// counts as its face); those of Arial for a face not in the table.
FaceMetrics MetricsOfFace(std::string_view face) noexcept;

}  // namespace pravel
