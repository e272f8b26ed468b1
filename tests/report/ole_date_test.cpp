#include "report/ole_date.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pravel {
namespace {

TEST(OleDate, FormatsDaysAndTimeOfDay) {
  EXPECT_EQ(FormatOleDate(0.0), "1899-12-30T00:00:00");
  EXPECT_EQ(FormatOleDate(45730 + 34013 / 86400.0), "2025-03-14T09:26:53");
  // Before the epoch the fraction still counts forward from midnight.
  EXPECT_EQ(FormatOleDate(-1.25), "1899-12-29T06:00:00");
  // Rounding to the second can reach the next day.
  EXPECT_EQ(FormatOleDate(2.9999999999), "1900-01-02T00:00:00");
  EXPECT_EQ(FormatOleDate(std::nan("")), std::nullopt);
  EXPECT_EQ(FormatOleDate(1e12), std::nullopt);
  EXPECT_EQ(FormatOleDate(-1e12), std::nullopt);
}

TEST(OleDate, LocalTimeRoundTrips) {
  const std::time_t time = 1741944413;  // some moment in March 2025
  std::tm local{};
  localtime_r(&time, &local);
  char expected[32];
  std::strftime(expected, sizeof expected, "%Y-%m-%dT%H:%M:%S", &local);
  EXPECT_EQ(FormatOleDate(OleDateFromTime(time)), std::string(expected));
}

}  // namespace
}  // namespace pravel
