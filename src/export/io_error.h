#pragma once
// Input/output errors of the plain-text export file.

#include <string>

#include "platform/errors.h"

namespace pravel {

// The user's text for a system error number: "File access denied",
// "Invalid filename" or "I/O error <number>".
std::string InOutErrorText(int error_number);

class EInOutError : public EPlatformError {
 public:
  explicit EInOutError(int error_number) : EPlatformError(InOutErrorText(error_number)), error_code_(error_number) {}
  int ErrorCode() const noexcept { return error_code_; }

 private:
  int error_code_;
};

}  // namespace pravel
