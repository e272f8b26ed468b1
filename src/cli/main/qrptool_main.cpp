#include <array>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

namespace {

struct Command {
  std::string_view name;
  int (*run)(pravel::cli::Args);
  std::string_view summary;
};

constexpr std::array kCommands{
    Command{"info", pravel::cli::RunInfo, "show the pages of a report"},
    Command{"extract", pravel::cli::RunExtract, "write each page as an EMF file"},
    Command{"pack", pravel::cli::RunPack, "build a report from EMF files"},
    Command{"render", pravel::cli::RunRender, "draw pages as PNG, PDF or SVG"},
    Command{"export", pravel::cli::RunExport, "export the text as TXT, CSV or HTML"},
    Command{"print", pravel::cli::RunPrint, "print a report"},
    Command{"printers", pravel::cli::RunPrinters, "list the installed printers"},
};

void PrintUsage(std::ostream& out) {
  out << "usage: qrptool COMMAND [ARGS...]\n\ncommands:\n";
  for (const auto& c : kCommands) out << "  " << c.name << std::string(10 - c.name.size(), ' ') << c.summary << '\n';
  out << "\n'qrptool COMMAND --help' describes a command.\n";
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintUsage(std::cerr);
    return pravel::cli::kExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintUsage(std::cout);
    return pravel::cli::kExitOk;
  }
  for (const auto& c : kCommands) {
    if (args[0] == c.name) return c.run(pravel::cli::Args(args).subspan(1));
  }
  std::cerr << "qrptool: unknown command '" << args[0] << "'\n";
  PrintUsage(std::cerr);
  return pravel::cli::kExitUsage;
}
