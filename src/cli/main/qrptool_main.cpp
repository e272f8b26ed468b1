#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/companion_path.h"
#include "cli/render_usage.h"
#include "platform/platform.h"

namespace {

// Drawing and printing run in companion programs beside this one or in its
// libexec folder, so that the other commands start without the toolkit.
constexpr const char* kRenderProgram = "qrptool-render";
constexpr const char* kPrintProgram = "qrptool-print";

int RunCompanion(const char* program, char** argv) {
  std::string path = "/proc/self/exe";
  char buffer[4096];
  const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer - 1);
  if (n > 0) {
    path = pravel::cli::CompanionPath(std::string_view(buffer, static_cast<std::size_t>(n)), program,
                                      PRAVEL_LIBEXEC_FROM_BIN);
  } else {
    path = program;
  }
  std::vector<char*> args{const_cast<char*>(program)};
  for (char** a = argv + 1; *a != nullptr; ++a) args.push_back(*a);
  args.push_back(nullptr);
  ::execv(path.c_str(), args.data());
  std::cerr << "qrptool: cannot start " << path << ": " << std::strerror(errno) << '\n';
  return pravel::cli::kExitBadFile;
}

struct Command {
  std::string_view name;
  int (*run)(pravel::cli::Args);
  const char* companion;  // the program that runs the command, when not this one
  std::string_view summary;
};

constexpr std::array kCommands{
    Command{"info", pravel::cli::RunInfo, nullptr, "show the pages of a report"},
    Command{"extract", pravel::cli::RunExtract, nullptr, "write each page as an EMF file"},
    Command{"pack", pravel::cli::RunPack, nullptr, "build a report from EMF files"},
    Command{"render", nullptr, kRenderProgram, "draw pages as PNG, PDF or SVG"},
    Command{"thumbnail", nullptr, kRenderProgram, "draw page 1 as a small PNG"},
    Command{"export", pravel::cli::RunExport, nullptr, "export the text as TXT, CSV or HTML"},
    Command{"text", pravel::cli::RunText, nullptr, "write the text runs with their places"},
    Command{"print", nullptr, kPrintProgram, "print a report"},
    Command{"printers", nullptr, kPrintProgram, "list the installed printers"},
};

void PrintUsage(std::ostream& out) {
  out << "usage: qrptool COMMAND [ARGS...]\n\ncommands:\n";
  for (const auto& c : kCommands) out << "  " << c.name << std::string(10 - c.name.size(), ' ') << c.summary << '\n';
  out << "\n'qrptool COMMAND --help' describes a command; 'qrptool --version' shows the version.\n";
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  // Nothing installed: these commands neither print nor show windows.
  pravel::Platform platform;
  if (args.empty()) {
    PrintUsage(std::cerr);
    return pravel::cli::kExitUsage;
  }
  if (args[0] == "--version") {
    std::cout << "qrptool " PRAVEL_VERSION "\n";
    return pravel::cli::kExitOk;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintUsage(std::cout);
    return pravel::cli::kExitOk;
  }
  for (const auto& c : kCommands) {
    if (args[0] != c.name) continue;
    if (c.name == "render" && args.size() == 2 && (args[1] == "--help" || args[1] == "-h")) {
      std::cout << pravel::cli::kRenderUsage;
      return pravel::cli::kExitOk;
    }
    if (c.run == nullptr) return RunCompanion(c.companion, argv);
    return c.run(pravel::cli::Args(args).subspan(1));
  }
  std::cerr << "qrptool: unknown command '" << args[0] << "'\n";
  PrintUsage(std::cerr);
  return pravel::cli::kExitUsage;
}
