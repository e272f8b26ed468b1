#include <iostream>

#include "cli/commands.h"

namespace pravel::cli {

int RunPack(Args /*args*/) {
  std::cerr << "qrptool pack: not available in this build\n";
  return kExitUsage;
}

}  // namespace pravel::cli
