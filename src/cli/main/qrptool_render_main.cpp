// The drawing commands of qrptool, started by it as `qrptool-render render ARGS...`.

#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args[0] == "render") return pravel::cli::RunRender(pravel::cli::Args(args).subspan(1));
  std::cerr << "usage: qrptool render [ARGS...]\n";
  return pravel::cli::kExitUsage;
}
