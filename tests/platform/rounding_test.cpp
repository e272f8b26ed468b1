#include "platform/rounding.h"

#include <gtest/gtest.h>

#include <limits>

namespace pravel {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(2.5L), 2);
  EXPECT_EQ(RoundHalfEven(3.5L), 4);
  EXPECT_EQ(RoundHalfEven(-2.5L), -2);
  EXPECT_EQ(RoundHalfEven(-3.5L), -4);
  EXPECT_EQ(RoundHalfEven(0.5L), 0);
  EXPECT_EQ(RoundHalfEven(2.4999L), 2);
  EXPECT_EQ(RoundHalfEven(2.5001L), 3);
  EXPECT_EQ(RoundHalfEven(-0.7L), -1);
  // 2100 * 96 / 254 and 2970 * 96 / 254, an A4 page on the screen
  EXPECT_EQ(RoundHalfEven(2100.0L * 96 / 254), 794);
  EXPECT_EQ(RoundHalfEven(2970.0L * 96 / 254), 1123);
}

TEST(RoundHalfEven, ExtendedFormsKeepTheRangeAndRoundUpwards) {
  EXPECT_EQ(RoundHalfEvenExtended(100.5L), 100.0L);
  EXPECT_EQ(RoundHalfEvenExtended(101.5L), 102.0L);
  EXPECT_EQ(RoundHalfEvenExtended(-2.5L), -2.0L);
  EXPECT_EQ(RoundHalfEvenExtended(1e30L), 1e30L);
  EXPECT_EQ(RoundHalfUpExtended(3.5L), 4.0L);
  EXPECT_EQ(RoundHalfUpExtended(-0.5L), 0.0L);
  EXPECT_EQ(RoundHalfUpExtended(-1.5L), -1.0L);
}

TEST(RoundHalfEven, SaturatesAndMapsNanToZero) {
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  EXPECT_EQ(RoundHalfEven(1e30L), kMax);
  EXPECT_EQ(RoundHalfEven(-1e30L), kMin);
  EXPECT_EQ(RoundHalfEven(std::numeric_limits<long double>::infinity()), kMax);
  EXPECT_EQ(RoundHalfEven(std::numeric_limits<long double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundHalfEven(static_cast<long double>(kMax) - 0.5L), kMax - 1);
}

}  // namespace
}  // namespace pravel
