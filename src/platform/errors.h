#pragma once
// Errors raised by the platform stand-in. Each carries the message text the
// user sees; lower layers never show messages themselves.

#include <stdexcept>
#include <string>

namespace pravel {

// Base of every error that reaches the application's error handler.
class EPlatformError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "Cannot open file "%s". %s"
class EFileOpenError : public EPlatformError {
 public:
  EFileOpenError(const std::string& path, const std::string& reason)
      : EPlatformError("Cannot open file \"" + path + "\". " + reason) {}
};

// "Cannot create file "%s". %s"
class EFileCreateError : public EPlatformError {
 public:
  EFileCreateError(const std::string& path, const std::string& reason)
      : EPlatformError("Cannot create file \"" + path + "\". " + reason) {}
};

// "Stream read error": a read came back shorter than asked for.
class EStreamReadError : public EPlatformError {
 public:
  EStreamReadError() : EPlatformError("Stream read error") {}
};

// "Stream write error": a write could not store all its bytes.
class EStreamWriteError : public EPlatformError {
 public:
  EStreamWriteError() : EPlatformError("Stream write error") {}
};

// "Metafile is not valid", also used for every kind of corrupt report data.
// The optional detail says what was wrong, for diagnostics (qrptool).
class EMetafileError : public EPlatformError {
 public:
  EMetafileError() : EPlatformError("Metafile is not valid") {}
  explicit EMetafileError(std::string detail) : EPlatformError("Metafile is not valid"), detail_(std::move(detail)) {}
  const std::string& Detail() const noexcept { return detail_; }

 private:
  std::string detail_;
};

// Errors of the system printer layer ("Printing in progress", ...).
class EPrinterError : public EPlatformError {
 public:
  using EPlatformError::EPlatformError;
};

// The system's text for an errno value.
std::string SystemErrorText(int error_number);

}  // namespace pravel
