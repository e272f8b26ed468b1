#include "platform/rounding.h"

#include <cmath>
#include <limits>

namespace pravel {

std::int32_t RoundHalfEven(long double x) noexcept {
  if (std::isnan(x)) return 0;
  constexpr auto kMin = static_cast<long double>(std::numeric_limits<std::int32_t>::min());
  constexpr auto kMax = static_cast<long double>(std::numeric_limits<std::int32_t>::max());
  if (x <= kMin) return std::numeric_limits<std::int32_t>::min();
  if (x >= kMax) return std::numeric_limits<std::int32_t>::max();
  const long double result = RoundHalfEvenExtended(x);
  if (result > kMax) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(result);
}

long double RoundHalfEvenExtended(long double x) noexcept {
  if (!std::isfinite(x)) return x;
  const long double floor = std::floor(x);
  const long double fraction = x - floor;
  if (fraction > 0.5L) return floor + 1;
  if (fraction < 0.5L) return floor;
  return std::fmod(floor, 2.0L) == 0 ? floor : floor + 1;
}

long double RoundHalfUpExtended(long double x) noexcept { return std::floor(x + 0.5L); }

}  // namespace pravel
