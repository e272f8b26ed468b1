#pragma once
// Argument parsing and error reporting shared by the qrptool commands.

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

namespace pravel::cli {

struct CommandLine {
  std::vector<std::string> positional;
  std::set<std::string, std::less<>> flags;
  bool help = false;
  std::string unknown_option;  // the first option not in the known list
};

// Splits arguments into known flags ("--json"), --help / -h and the rest.
CommandLine ParseCommandLine(Args args, std::initializer_list<std::string_view> known_flags);

// The user-visible text of an error; corrupt data adds its detail:
// "Metafile is not valid (record chain loops at offset 1234)".
std::string ErrorText(const std::exception& error);

// Prints "qrptool: SUBJECT: TEXT" on standard error; returns kExitBadFile.
int ReportFailure(const std::string& subject, const std::exception& error);

// Prints "qrptool COMMAND: FILE: page N: drawing stopped, ..." on standard
// error for each page; returns kExitBadFile when there is any, else kExitOk.
int ReportStoppedPages(std::string_view command, const std::string& file, const std::vector<std::int32_t>& pages);

// Prints the problem and the usage on standard error; returns kExitUsage.
int ReportUsage(std::string_view usage, std::string_view problem);

// Lets the Qt commands run without a display: the offscreen platform when
// neither X11 nor Wayland is there and no platform is chosen.
void PrepareGuiEnvironment();

}  // namespace pravel::cli
