#include <iostream>

#include "cli/commands.h"

namespace pravel::cli {

int RunPrint(Args /*args*/) {
  std::cerr << "qrptool print: not available in this build\n";
  return kExitUsage;
}

}  // namespace pravel::cli
