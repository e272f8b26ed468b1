#include "cli/companion_path.h"

#include <unistd.h>

namespace pravel::cli {

std::string CompanionPath(std::string_view self, std::string_view name, std::string_view libexec_from_bin) {
  const std::size_t slash = self.rfind('/');
  if (slash == std::string_view::npos) return std::string(name);
  const std::string folder(self.substr(0, slash + 1));
  std::string beside = folder + std::string(name);
  if (::access(beside.c_str(), X_OK) == 0) return beside;
  return folder + std::string(libexec_from_bin) + '/' + std::string(name);
}

}  // namespace pravel::cli
