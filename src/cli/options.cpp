#include "cli/options.h"

#include <algorithm>
#include <charconv>
#include <iostream>

namespace pravel::cli {

namespace {

const OptionSpec* Find(std::span<const OptionSpec> options, std::string_view spelling) {
  const auto it = std::find_if(options.begin(), options.end(), [&](const OptionSpec& o) {
    return spelling == o.name || (!o.alias.empty() && spelling == o.alias);
  });
  return it == options.end() ? nullptr : &*it;
}

bool IsOption(std::string_view arg) { return arg.size() > 1 && arg[0] == '-'; }

}  // namespace

bool CommandLine::Has(std::string_view name) const { return Count(name) > 0; }

int CommandLine::Count(std::string_view name) const {
  return static_cast<int>(std::count_if(given.begin(), given.end(), [&](const auto& g) { return g.first == name; }));
}

std::optional<std::string> CommandLine::Value(std::string_view name) const {
  const auto it = std::find_if(given.rbegin(), given.rend(), [&](const auto& g) { return g.first == name; });
  if (it == given.rend()) return std::nullopt;
  return it->second;
}

CommandLine ParseCommandLine(Args args, std::span<const OptionSpec> options) {
  CommandLine line;
  const auto note = [&line](std::string problem) {
    if (line.problem.empty()) line.problem = std::move(problem);
  };
  bool options_end = false;
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string_view arg = args[k];
    if (options_end || !IsOption(arg)) {
      line.positional.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      options_end = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      line.help = true;
      continue;
    }
    // "--dpi=300" gives the value in the same argument.
    const auto equals = arg.starts_with("--") ? arg.find('=') : std::string_view::npos;
    const std::string_view spelling = arg.substr(0, equals);
    const OptionSpec* option = Find(options, spelling);
    if (option == nullptr) {
      note("unknown option " + std::string(spelling));
      continue;
    }
    if (option->value.empty()) {
      if (equals != std::string_view::npos) note(std::string(spelling) + " takes no value");
      line.given.emplace_back(option->name, std::string());
    } else if (equals != std::string_view::npos) {
      line.given.emplace_back(option->name, std::string(arg.substr(equals + 1)));
    } else if (k + 1 < args.size()) {
      line.given.emplace_back(option->name, args[++k]);
    } else {
      note(std::string(spelling) + " needs " + std::string(option->value));
    }
  }
  return line;
}

ParsedCommand ParseCommand(const CommandSpec& command, Args args, const LineCheck& check) {
  ParsedCommand parsed{ParseCommandLine(args, command.options), std::nullopt};
  if (parsed.line.help) {
    std::cout << command.usage;
    parsed.status = kExitOk;
  } else if (!parsed.line.problem.empty()) {
    parsed.status = ReportUsage(command, parsed.line.problem);
  } else if (const auto problem = check ? check(parsed.line) : std::nullopt) {
    parsed.status = ReportUsage(command, *problem);
  }
  return parsed;
}

int ReportUsage(const CommandSpec& command, std::string_view problem) {
  std::cerr << "qrptool " << command.name << ": " << problem << '\n' << command.usage;
  return kExitUsage;
}

std::optional<long long> ParseNumber(std::string_view text, long long least, long long most) {
  long long value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end || value < least || value > most) return std::nullopt;
  return value;
}

int ReportNotInThisBuild(std::string_view command) {
  std::cerr << "qrptool " << command << ": not available in this build (no Qt)\n";
  return kExitUsage;
}

}  // namespace pravel::cli
