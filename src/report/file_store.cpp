#include "report/file_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace pravel {

FileStore::FileStore(UniqueFd fd, bool writable) : fd_(std::move(fd)), writable_(writable), window_(kWindowSize) {
  if (writable_) {
    struct stat info {};
    if (::fstat(fd_.Get(), &info) == 0) written_size_ = info.st_size;
  }
}

std::int64_t FileStore::Size() const {
  if (writable_) return written_size_;
  struct stat info {};
  return ::fstat(fd_.Get(), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : 0;
}

bool FileStore::Flush() noexcept {
  if (dirty_begin_ == dirty_end_) return true;
  const auto pending = std::span<const std::uint8_t>(window_).subspan(dirty_begin_, dirty_end_ - dirty_begin_);
  const std::size_t written = WriteFullyAt(fd_.Get(), window_start_ + static_cast<std::int64_t>(dirty_begin_), pending);
  dirty_begin_ = dirty_end_ = 0;
  if (written == pending.size()) return true;
  window_length_ = 0;  // what the window holds is no longer what the file holds
  return false;
}

bool FileStore::Truncate(std::int64_t size) noexcept {
  if (!writable_ || size < 0 || size > written_size_) return false;
  const std::int64_t keep = std::max<std::int64_t>(0, size - window_start_);
  const auto clamp = [keep](std::size_t value) {
    return static_cast<std::int64_t>(value) > keep ? static_cast<std::size_t>(keep) : value;
  };
  dirty_begin_ = clamp(dirty_begin_);
  dirty_end_ = clamp(dirty_end_);
  window_length_ = clamp(window_length_);
  const bool flushed = Flush();
  if (::ftruncate(fd_.Get(), size) != 0) return false;
  written_size_ = size;
  return flushed;
}

void FileStore::FlushOrThrow() {
  if (!Flush()) throw EStreamWriteError();
}

std::size_t FileStore::ReadAt(std::int64_t position, std::span<std::uint8_t> out) {
  if (out.empty() || position < 0) return 0;
  if (position >= window_start_ && position + static_cast<std::int64_t>(out.size()) <= WindowEnd()) {
    std::memcpy(out.data(), window_.data() + (position - window_start_), out.size());
    return out.size();
  }
  // The file then holds every byte written, and reads stop at its end.
  FlushOrThrow();
  if (out.size() >= kWindowSize) {
    const std::int64_t n = ReadFullyAt(fd_.Get(), position, out);
    return n < 0 ? 0 : static_cast<std::size_t>(n);
  }
  // Reading on from the window fills it whole; a jump elsewhere (a walk
  // along the records) reads less.
  const bool sequential = window_length_ > 0 && position == WindowEnd();
  const std::size_t fill = sequential ? kWindowSize : std::max(out.size(), kJumpFill);
  const std::int64_t n = ReadFullyAt(fd_.Get(), position, std::span(window_).first(fill));
  window_start_ = position;
  window_length_ = n < 0 ? 0 : static_cast<std::size_t>(n);
  const std::size_t available = std::min(out.size(), window_length_);
  std::memcpy(out.data(), window_.data(), available);
  return available;
}

std::size_t FileStore::WriteAt(std::int64_t position, ByteSpan data) {
  if (!writable_ || position < 0) return 0;
  if (data.empty()) return 0;
  const auto end = position + static_cast<std::int64_t>(data.size());
  const bool fits = position >= window_start_ && position <= WindowEnd() &&
                    end <= window_start_ + static_cast<std::int64_t>(kWindowSize);
  if (!fits) {
    if (!Flush()) return 0;
    if (data.size() >= kWindowSize) {
      if (position < WindowEnd() && end > window_start_) window_length_ = 0;
      const std::size_t written = WriteFullyAt(fd_.Get(), position, data);
      written_size_ = std::max(written_size_, position + static_cast<std::int64_t>(written));
      return written;
    }
    window_start_ = position;
    window_length_ = 0;
  }
  const auto at = static_cast<std::size_t>(position - window_start_);
  std::memcpy(window_.data() + at, data.data(), data.size());
  if (dirty_begin_ == dirty_end_) {
    dirty_begin_ = at;
    dirty_end_ = at + data.size();
  } else {
    dirty_begin_ = std::min(dirty_begin_, at);
    dirty_end_ = std::max(dirty_end_, at + data.size());
  }
  window_length_ = std::max(window_length_, at + data.size());
  written_size_ = std::max(written_size_, end);
  return data.size();
}

}  // namespace pravel
