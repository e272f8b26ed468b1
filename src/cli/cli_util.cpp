#include "cli/cli_util.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "platform/errors.h"
#include "platform/gdi/work_budget.h"

namespace pravel::cli {

CommandLine ParseCommandLine(Args args, std::initializer_list<std::string_view> known_flags) {
  CommandLine line;
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      line.help = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      if (std::find(known_flags.begin(), known_flags.end(), arg) != known_flags.end()) {
        line.flags.insert(arg);
      } else if (line.unknown_option.empty()) {
        line.unknown_option = arg;
      }
    } else {
      line.positional.push_back(arg);
    }
  }
  return line;
}

std::string ErrorText(const std::exception& error) {
  std::string text = error.what();
  if (const auto* metafile = dynamic_cast<const EMetafileError*>(&error); metafile && !metafile->Detail().empty())
    text += " (" + metafile->Detail() + ")";
  return text;
}

int ReportFailure(const std::string& subject, const std::exception& error) {
  std::cerr << "qrptool: " << subject << ": " << ErrorText(error) << '\n';
  return kExitBadFile;
}

int ReportStoppedPages(std::string_view command, const std::string& file, const std::vector<std::int32_t>& pages) {
  for (const std::int32_t page : pages)
    std::cerr << "qrptool " << command << ": " << file << ": page " << page << ": " << gdi::kWorkExhaustedText << '\n';
  return pages.empty() ? kExitOk : kExitBadFile;
}

int ReportUsage(std::string_view usage, std::string_view problem) {
  std::cerr << "qrptool: " << problem << '\n' << usage;
  return kExitUsage;
}

void PrepareGuiEnvironment() {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

}  // namespace pravel::cli
