#pragma once
// Dates as the report header stores them: days since 30 December 1899
// 00:00, the time of day as the fraction.

#include <ctime>
#include <optional>
#include <string>

namespace pravel {

// The local date and time of `time` as such a date.
double OleDateFromTime(std::time_t time);
double OleDateNow();

// "YYYY-MM-DDTHH:MM:SS" to the nearest second, or nothing for a value that
// is no date between the years 100 and 9999.
std::optional<std::string> FormatOleDate(double date);

}  // namespace pravel
