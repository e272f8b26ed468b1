#pragma once
// Thin RAII layer over POSIX file descriptors, used by the report stream and
// by saving. Functions report failure through errno-style results; the
// callers turn them into the user-visible errors.

#include <cstdint>
#include <span>
#include <string>

namespace pravel {

// Owns one open file descriptor.
class UniqueFd {
 public:
  UniqueFd() noexcept = default;
  explicit UniqueFd(int fd) noexcept : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { Close(); }

  int Get() const noexcept { return fd_; }
  bool Valid() const noexcept { return fd_ >= 0; }
  int Release() noexcept;
  // Closes the descriptor; returns 0 or the errno of a failed close.
  int Close() noexcept;

 private:
  int fd_ = -1;
};

// Reads until `out` is full or the file ends; returns the bytes read, or -1
// with errno set.
std::int64_t ReadFullyAt(int fd, std::int64_t offset, std::span<std::uint8_t> out) noexcept;

// Writes all of `data`; returns the bytes written (fewer on failure, errno set).
std::size_t WriteFullyAt(int fd, std::int64_t offset, std::span<const std::uint8_t> data) noexcept;

// The folder for temporary files: $TMPDIR when set and not empty, else /tmp.
std::string DefaultTempDirectory();

// A new, empty file "DIR/PREFIXxxxxxx" opened for reading and writing.
// On failure `fd` is invalid and `error` holds the errno.
struct CreatedFile {
  UniqueFd fd;
  std::string path;
  int error = 0;
};
CreatedFile CreateTempFile(const std::string& directory, const std::string& prefix);

// Like CreateTempFile, but with permissions 0666 less the umask, as an
// ordinary new file gets.
CreatedFile CreateUniqueFile(const std::string& directory, const std::string& prefix);

}  // namespace pravel
