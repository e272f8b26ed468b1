#include "platform/errors.h"

#include <cstring>

namespace pravel {

std::string SystemErrorText(int error_number) {
  return std::strerror(error_number);  // NOLINT(concurrency-mt-unsafe): GUI thread only
}

}  // namespace pravel
