// The drawing commands of qrptool, started by it as `qrptool-render render|thumbnail ARGS...`.

#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args[0] == "--version") {
    std::cout << "qrptool-render " PRAVEL_VERSION "\n";
    return pravel::cli::kExitOk;
  }
  if (!args.empty() && args[0] == "render") return pravel::cli::RunRender(pravel::cli::Args(args).subspan(1));
  if (!args.empty() && args[0] == "thumbnail") return pravel::cli::RunThumbnail(pravel::cli::Args(args).subspan(1));
  std::cerr << "usage: qrptool render|thumbnail [ARGS...]\n";
  return pravel::cli::kExitUsage;
}
