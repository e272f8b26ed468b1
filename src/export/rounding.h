#pragma once
// Rounding of extended reals to whole numbers. Results stay long double so
// that huge and non-finite values pass through without overflow.

#include <cmath>

namespace pravel {

// Nearest whole number, halves to the even neighbour.
inline long double RoundHalfEven(long double x) noexcept {
  const long double r = std::round(x);  // halves away from zero
  if (std::fabs(x - std::trunc(x)) == 0.5L) return 2.0L * std::round(x / 2.0L);
  return r;
}

// Nearest whole number, halves upwards (towards positive infinity).
inline long double RoundHalfUp(long double x) noexcept { return std::floor(x + 0.5L); }

}  // namespace pravel
