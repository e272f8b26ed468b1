#include "report/posix_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <random>
#include <vector>

namespace pravel {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.Release();
  }
  return *this;
}

int UniqueFd::Release() noexcept {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

int UniqueFd::Close() noexcept {
  if (fd_ < 0) return 0;
  const int result = ::close(fd_);
  fd_ = -1;
  return result == 0 ? 0 : errno;
}

std::int64_t ReadFullyAt(int fd, std::int64_t offset, std::span<std::uint8_t> out) noexcept {
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t n =
        ::pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<std::int64_t>(done);
}

std::size_t WriteFullyAt(int fd, std::int64_t offset, std::span<const std::uint8_t> data) noexcept {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::pwrite(fd, data.data() + done, data.size() - done,
                               static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (n == 0) {
      errno = ENOSPC;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  return done;
}

std::string DefaultTempDirectory() {
  const char* dir = std::getenv("TMPDIR");  // NOLINT(concurrency-mt-unsafe): read only
  return dir != nullptr && *dir != '\0' ? dir : "/tmp";
}

namespace {

std::string JoinPath(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  return directory.back() == '/' ? directory + name : directory + '/' + name;
}

}  // namespace

CreatedFile CreateTempFile(const std::string& directory, const std::string& prefix) {
  CreatedFile out;
  std::string pattern = JoinPath(directory, prefix + "XXXXXX");
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
  if (fd < 0) {
    out.error = errno;
    out.path = std::move(pattern);
    return out;
  }
  out.fd = UniqueFd(fd);
  out.path = buffer.data();
  return out;
}

CreatedFile CreateUniqueFile(const std::string& directory, const std::string& prefix) {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device seed;
  std::minstd_rand random(seed());
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
  CreatedFile out;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix;
    for (int i = 0; i < 6; ++i) name += kChars[pick(random)];
    out.path = JoinPath(directory, name);
    const int fd = ::open(out.path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      out.fd = UniqueFd(fd);
      out.error = 0;
      return out;
    }
    out.error = errno;
    if (out.error != EEXIST) break;
  }
  return out;
}

}  // namespace pravel
