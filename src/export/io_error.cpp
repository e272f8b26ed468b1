#include "export/io_error.h"

#include <cerrno>

#include "export/strings.h"

namespace pravel {

std::string InOutErrorText(int error_number) {
  switch (error_number) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY: return std::string(texts::kFileAccessDenied);
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP: return std::string(texts::kInvalidFilename);
    default: {
      std::string text(texts::kInOutError);
      return text.replace(text.find("%d"), 2, std::to_string(error_number));
    }
  }
}

}  // namespace pravel
