#include <iostream>

#include "cli/commands.h"

namespace pravel::cli {

int RunExport(Args /*args*/) {
  std::cerr << "qrptool export: not available in this build\n";
  return kExitUsage;
}

}  // namespace pravel::cli
