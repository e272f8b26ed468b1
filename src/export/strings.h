#pragma once
// The report library's own texts used by export, kept together so that they
// can be translated in one place.

#include <string_view>

namespace pravel::texts {

inline constexpr std::string_view kAbstractFilterDescription = "Abstract non-working export filter";
inline constexpr std::string_view kAbstractFilterName = "Abstract filter";
inline constexpr std::string_view kFilterVendor = "Pravel";

inline constexpr std::string_view kAsciiFilterDescription = "Text export (ASCII) filter";
inline constexpr std::string_view kAsciiFilterExtension = "TXT";
inline constexpr std::string_view kAsciiFilterName = "Text file";

inline constexpr std::string_view kCsvFilterDescription = "Comma separated text file";
inline constexpr std::string_view kCsvFilterName = "Comma Separated";

inline constexpr std::string_view kHtmlFilterDescription = "HTML document for web publishing";
inline constexpr std::string_view kHtmlFilterName = "HTML document";

inline constexpr std::string_view kReportFile = "Report file";
inline constexpr std::string_view kCompleted = " Completed";

// Input/output errors of the plain-text file.
inline constexpr std::string_view kFileAccessDenied = "File access denied";
inline constexpr std::string_view kInvalidFilename = "Invalid filename";
inline constexpr std::string_view kInOutError = "I/O error %d";

}  // namespace pravel::texts
