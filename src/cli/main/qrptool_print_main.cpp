// The printing commands of qrptool, started by it as `qrptool-print print|printers ARGS...`.

#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args[0] == "--version") {
    std::cout << "qrptool-print " PRAVEL_VERSION "\n";
    return pravel::cli::kExitOk;
  }
  if (!args.empty() && args[0] == "print") return pravel::cli::RunPrint(pravel::cli::Args(args).subspan(1));
  if (!args.empty() && args[0] == "printers") return pravel::cli::RunPrinters(pravel::cli::Args(args).subspan(1));
  std::cerr << "usage: qrptool print|printers [ARGS...]\n";
  return pravel::cli::kExitUsage;
}
