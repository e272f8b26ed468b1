#include <iostream>

#include "cli/commands.h"

namespace pravel::cli {

int RunExtract(Args /*args*/) {
  std::cerr << "qrptool extract: not available in this build\n";
  return kExitUsage;
}

}  // namespace pravel::cli
