#pragma once
// The byte stream that holds the image of a .qrp file. It starts in memory
// and moves to a temporary file once it grows past SpillLimit; OpenFile
// serves an existing file read-only in place. Every operation takes the
// stream's recursive lock, which callers may also hold (Lock / Unlock)
// around a sequence of operations.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "platform/bytes.h"
#include "report/file_store.h"

namespace pravel {

enum class SeekOrigin { Beginning, Current, End };

class TQRStream {
 public:
  static constexpr std::size_t CopyBufferSize = 10240;

  // In memory and empty. Temporary files go to `temp_directory`, or to
  // $TMPDIR (else /tmp) when it is empty.
  explicit TQRStream(std::int32_t spill_limit, std::string temp_directory = {});
  // Opens an existing file read-only, in place. Throws EFileOpenError.
  static std::unique_ptr<TQRStream> OpenFile(const std::string& path);
  ~TQRStream();

  TQRStream(const TQRStream&) = delete;
  TQRStream& operator=(const TQRStream&) = delete;

  // Bytes read, fewer at the end of the stream.
  std::size_t Read(std::span<std::uint8_t> buffer);
  // Bytes written. May move the data to a temporary file; when that file
  // cannot be created or filled, throws EFileCreateError and the data,
  // this write's included, stays in memory.
  std::size_t Write(ByteSpan buffer);
  // The new position; a seek before the start leaves the position alone and
  // returns -1.
  std::int64_t Seek(std::int32_t offset, SeekOrigin origin);

  std::int64_t Size();
  // Drops everything from `size` on (a stream never grows this way); the
  // position moves back if it lay beyond. False when that cannot be done.
  bool Truncate(std::int64_t size);
  std::int64_t Position();
  void SetPosition(std::int64_t position);

  // Read or write all of `buffer` or throw EStreamReadError / EStreamWriteError.
  void ReadBuffer(std::span<std::uint8_t> buffer);
  void WriteBuffer(ByteSpan buffer);

  void Lock() { mutex_.lock(); }
  void Unlock() { mutex_.unlock(); }

  // Copies the whole content, from offset 0, in CopyBufferSize chunks; the
  // position is left at the end.
  void CopyTo(TQRStream& destination);
  void CopyTo(const std::function<void(ByteSpan)>& write);

  bool InMemory() const noexcept { return in_memory_; }
  const std::string& TempFileName() const noexcept { return temp_file_name_; }
  std::int32_t SpillLimit() const noexcept { return spill_limit_; }
  // The file's device and inode, for a stream opened on a file.
  struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
  };
  std::optional<FileIdentity> OpenedFile() const noexcept { return opened_file_; }

 private:
  TQRStream();
  void SpillToFile();

  std::recursive_mutex mutex_;
  bool in_memory_ = true;
  Bytes memory_;
  std::optional<FileStore> file_;
  std::int64_t position_ = 0;
  std::int32_t spill_limit_ = 0;
  std::string temp_directory_;
  std::string temp_file_name_;
  std::optional<FileIdentity> opened_file_;
};

// Holds a stream's (or page list's) lock for a scope.
template <class T>
class ScopedLock {
 public:
  explicit ScopedLock(T& target) : target_(target) { target_.Lock(); }
  ~ScopedLock() { target_.Unlock(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

 private:
  T& target_;
};

// Little-endian 32-bit values at the current position.
std::int32_t ReadI32(TQRStream& stream);
void WriteI32(TQRStream& stream, std::int32_t value);

}  // namespace pravel
