#include <iostream>

#include "cli/commands.h"

namespace pravel::cli {

int RunPrinters(Args /*args*/) {
  std::cerr << "qrptool printers: not available in this build\n";
  return kExitUsage;
}

}  // namespace pravel::cli
