#pragma once
// A file served through one buffered window, so that the many small reads
// and writes of the page coder cost a copy, not a system call. Writes stay
// in the window until it has to move (or Flush is called).

#include <cstdint>
#include <span>

#include "platform/bytes.h"
#include "report/posix_file.h"

namespace pravel {

class FileStore {
 public:
  static constexpr std::size_t kWindowSize = 16384;
  static constexpr std::size_t kJumpFill = 4096;

  // A writable store is the only writer of its file; a read-only one asks
  // the system for the size each time, since others may change the file.
  FileStore(UniqueFd fd, bool writable);

  // Bytes read (fewer at the end of the file). Throws EStreamWriteError when
  // pending writes cannot be stored.
  std::size_t ReadAt(std::int64_t position, std::span<std::uint8_t> out);
  // Bytes written (0 for a read-only store; fewer when the disk refuses).
  std::size_t WriteAt(std::int64_t position, ByteSpan data);
  std::int64_t Size() const;
  // Stores pending writes; false with errno set when that fails.
  bool Flush() noexcept;
  // Cuts the file to `size` bytes (never grows it); pending writes past
  // that are dropped. False when the store is read-only or the system refuses.
  bool Truncate(std::int64_t size) noexcept;

  int Fd() const noexcept { return fd_.Get(); }
  UniqueFd TakeFd() noexcept { return std::move(fd_); }

 private:
  void FlushOrThrow();
  std::int64_t WindowEnd() const noexcept { return window_start_ + static_cast<std::int64_t>(window_length_); }

  UniqueFd fd_;
  bool writable_;
  std::int64_t written_size_ = 0;  // file size, for a writable store
  Bytes window_;
  std::int64_t window_start_ = 0;
  std::size_t window_length_ = 0;
  std::size_t dirty_begin_ = 0;
  std::size_t dirty_end_ = 0;  // dirty_begin_ == dirty_end_: nothing pending
};

}  // namespace pravel
