#include "cli/page_pipeline.h"

#include <sched.h>

namespace pravel::cli {

int AvailableCores() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (::sched_getaffinity(0, sizeof set, &set) != 0) return 1;
  const int count = CPU_COUNT(&set);
  return count > 0 ? count : 1;
}

std::optional<int> ParseJobs(const std::string& text) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  const int jobs = std::stoi(text);
  if (jobs < 1 || jobs > kMaxJobs) return std::nullopt;
  return jobs;
}

std::optional<std::string> ReadJobs(const CommandLine& line, int& jobs) {
  const auto value = line.Value("--jobs");
  if (!value) return std::nullopt;
  const auto parsed = ParseJobs(*value);
  if (!parsed) return "--jobs needs a number of threads from 1 to 256";
  jobs = *parsed;
  return std::nullopt;
}

ParsedCommand ParseOneReportCommand(const CommandSpec& command, Args args, int& jobs) {
  jobs = AvailableCores();
  return ParseCommand(command, args, [&command, &jobs](const CommandLine& line) -> std::optional<std::string> {
    if (auto problem = ReadJobs(line, jobs)) return problem;
    if (line.positional.size() == 1) return std::nullopt;
    return std::string(command.name) + " takes one file";
  });
}

}  // namespace pravel::cli
