#include <iostream>

#include "cli/commands.h"

namespace pravel::cli {

int RunRender(Args /*args*/) {
  std::cerr << "qrptool render: not available in this build\n";
  return kExitUsage;
}

}  // namespace pravel::cli
