#include "report/ole_date.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace pravel {

namespace {

using std::chrono::days;
using std::chrono::sys_days;

constexpr sys_days kEpoch = sys_days(std::chrono::year(1899) / 12 / 30);

}  // namespace

double OleDateFromTime(std::time_t time) {
  std::tm local{};
  localtime_r(&time, &local);
  const sys_days day =
      sys_days(std::chrono::year(local.tm_year + 1900) / std::chrono::month(static_cast<unsigned>(local.tm_mon + 1)) /
               std::chrono::day(static_cast<unsigned>(local.tm_mday)));
  const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
  return static_cast<double>((day - kEpoch).count()) + seconds / 86400.0;
}

double OleDateNow() { return OleDateFromTime(std::time(nullptr)); }

std::optional<std::string> FormatOleDate(double date) {
  // Years 100 and 9999 bound the dates the format can hold.
  if (!std::isfinite(date) || date < -657434.0 || date >= 2958466.0) return std::nullopt;
  // The whole part counts days (negative before the epoch); the fraction
  // is the time of day whatever the sign.
  double whole = std::trunc(date);
  auto seconds = static_cast<long long>(std::llround(std::fabs(date - whole) * 86400.0));
  if (seconds >= 86400) {
    seconds -= 86400;
    whole += 1;  // the next calendar day, before or after the epoch
  }
  const std::chrono::year_month_day ymd{kEpoch + days(static_cast<long long>(whole))};
  if (static_cast<int>(ymd.year()) > 9999) return std::nullopt;
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02lld:%02lld:%02lld", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()), seconds / 3600, seconds / 60 % 60,
                seconds % 60);
  return std::string(text);
}

}  // namespace pravel
