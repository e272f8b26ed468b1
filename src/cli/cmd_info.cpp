#include <iostream>

#include "cli/commands.h"

namespace pravel::cli {

int RunInfo(Args /*args*/) {
  std::cerr << "qrptool info: not available in this build\n";
  return kExitUsage;
}

}  // namespace pravel::cli
