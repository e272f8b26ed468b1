#include "export/output_stream.h"

#include <cerrno>

namespace pravel {
namespace {

// errno after a failed call, never 0.
int LastError() noexcept { return errno != 0 ? errno : EIO; }

}  // namespace

int OutputStream::CreateFile(const std::string& path) {
  errno = 0;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return LastError();
  file_.reset(f);
  data_.clear();
  return 0;
}

int OutputStream::Write(std::string_view bytes) {
  if (!file_) {
    data_.append(bytes);
    return 0;
  }
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size()) return LastError();
  return 0;
}

int OutputStream::Close() {
  if (!file_) return 0;
  errno = 0;
  const bool flushed = std::fflush(file_.get()) == 0;
  const int flush_error = flushed ? 0 : LastError();
  errno = 0;
  const bool closed = std::fclose(file_.release()) == 0;
  if (!flushed) return flush_error;
  return closed ? 0 : LastError();
}

}  // namespace pravel
