#pragma once
// Rounding of extended-precision values to device and report units.

#include <cstdint>

namespace pravel {

// The nearest integer, halves going to the even neighbour (2.5 -> 2,
// 3.5 -> 4, -2.5 -> -2). Independent of the floating-point rounding mode;
// NaN gives 0 and values beyond the 32-bit range saturate.
std::int32_t RoundHalfEven(long double x) noexcept;

// The same rounding as an extended value, without a range limit (huge and
// non-finite values pass through).
long double RoundHalfEvenExtended(long double x) noexcept;

// The nearest whole number, halves upwards (towards positive infinity).
long double RoundHalfUpExtended(long double x) noexcept;

}  // namespace pravel
