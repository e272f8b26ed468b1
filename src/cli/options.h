#pragma once
// The one command-line parser of the qrptool commands: options with values
// ("-o FILE", "--page N", "--dpi=D"), flags, --help / -h, and the arguments
// that are not options. "--" ends the options.

#include <algorithm>
#include <cctype>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/commands.h"

namespace pravel::cli {

// One option of a command. `value` says what its value is ("a file name");
// empty for a flag. A missing value is reported as "NAME needs VALUE".
struct OptionSpec {
  std::string_view name;        // "--output"
  std::string_view alias = {};  // "-o", or empty
  std::string_view value = {};
};

// A command as the user sees it: "render", its usage text and its options.
struct CommandSpec {
  std::string_view name;
  std::string_view usage;
  std::span<const OptionSpec> options;
};

struct CommandLine {
  std::vector<std::string> positional;
  // The options given, in order, each under its OptionSpec::name.
  std::vector<std::pair<std::string_view, std::string>> given;
  bool help = false;
  std::string problem;  // the first unknown option or missing value, or empty

  bool Has(std::string_view name) const;
  int Count(std::string_view name) const;
  // The value given last for `name`.
  std::optional<std::string> Value(std::string_view name) const;
};

CommandLine ParseCommandLine(Args args, std::span<const OptionSpec> options);

// Reads a parsed line into a command's settings; returns the problem found
// ("no input file", "--dpi needs ..."), or nothing when the line is sound.
using LineCheck = std::function<std::optional<std::string>(const CommandLine&)>;

// Parses the arguments of `command` and runs `check` on them. When the line
// ends the command (the usage printed for --help, or a problem reported the
// same way for every command), `status` holds the exit status to return.
struct ParsedCommand {
  CommandLine line;
  std::optional<int> status;
};
ParsedCommand ParseCommand(const CommandSpec& command, Args args, const LineCheck& check = {});

// Parses the arguments of `command` into fresh options with `read` and runs
// `run` on them; the exit status of the line when it ends the command.
template <class Options, class Run>
int RunWithOptions(const CommandSpec& command, Args args,
                   std::optional<std::string> (*read)(const CommandLine&, Options&), const Run& run) {
  Options options;
  const auto parsed =
      ParseCommand(command, args, [&options, read](const CommandLine& line) { return read(line, options); });
  if (parsed.status) return *parsed.status;
  return run(options);
}

// "qrptool NAME: not available in this build (no Qt)"; returns kExitUsage.
int ReportNotInThisBuild(std::string_view command);

// Names of the values of an option such as --format; a value's first name
// is the one it is written with.
template <class Value>
struct ValueName {
  Value value;
  std::string_view name;
};

// The value named `text`, ignoring case.
template <class Value>
std::optional<Value> ValueNamed(std::span<const ValueName<Value>> names, std::string_view text) {
  const auto same = [text](std::string_view name) {
    return std::equal(name.begin(), name.end(), text.begin(), text.end(), [](char a, char b) {
      return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
  };
  for (const auto& entry : names)
    if (same(entry.name)) return entry.value;
  return std::nullopt;
}

template <class Value>
std::string_view NameOf(std::span<const ValueName<Value>> names, Value value) {
  for (const auto& entry : names)
    if (entry.value == value) return entry.name;
  return {};
}

// "qrptool NAME: PROBLEM" and the usage on standard error; returns kExitUsage.
int ReportUsage(const CommandSpec& command, std::string_view problem);

// A decimal number from `least` to `most`, digits only.
std::optional<long long> ParseNumber(std::string_view text, long long least, long long most);

}  // namespace pravel::cli
