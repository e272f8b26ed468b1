#pragma once
// Error reporting shared by the qrptool commands.

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

namespace pravel::cli {

// The user-visible text of an error; corrupt data adds its detail:
// "Metafile is not valid (record chain loops at offset 1234)".
std::string ErrorText(const std::exception& error);

// Prints "qrptool: SUBJECT: TEXT" on standard error; returns kExitBadFile.
int ReportFailure(const std::string& subject, const std::exception& error);

// Prints "qrptool COMMAND: FILE: page N: drawing stopped, ..." on standard
// error for each page; returns kExitBadFile when there is any, else kExitOk.
int ReportStoppedPages(std::string_view command, const std::string& file, const std::vector<std::int32_t>& pages);

}  // namespace pravel::cli
