#pragma once
// Error reporting shared by the qrptool commands.

#include <exception>
#include <string>

#include "cli/commands.h"

namespace pravel::cli {

// The user-visible text of an error; corrupt data adds its detail:
// "Metafile is not valid (record chain loops at offset 1234)".
std::string ErrorText(const std::exception& error);

// Prints "qrptool: SUBJECT: TEXT" on standard error; returns kExitBadFile.
int ReportFailure(const std::string& subject, const std::exception& error);

}  // namespace pravel::cli
