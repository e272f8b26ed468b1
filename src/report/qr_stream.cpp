#include "report/qr_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/errors.h"

namespace pravel {

namespace {

using Guard = std::lock_guard<std::recursive_mutex>;

std::string FullPath(const std::string& path) {
  std::error_code error;
  const auto absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.string();
}

}  // namespace

TQRStream::TQRStream() = default;

TQRStream::TQRStream(std::int32_t spill_limit, std::string temp_directory)
    : spill_limit_(spill_limit), temp_directory_(std::move(temp_directory)) {}

std::unique_ptr<TQRStream> TQRStream::OpenFile(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) throw EFileOpenError(FullPath(path), SystemErrorText(errno));
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) throw EFileOpenError(FullPath(path), SystemErrorText(errno));
  if (S_ISDIR(info.st_mode)) throw EFileOpenError(FullPath(path), SystemErrorText(EISDIR));
  std::unique_ptr<TQRStream> stream(new TQRStream());
  stream->in_memory_ = false;
  stream->file_.emplace(std::move(fd), false);
  stream->opened_file_ = FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
  return stream;
}

TQRStream::~TQRStream() {
  const Guard guard(mutex_);
  if (file_ && !temp_file_name_.empty()) {
    file_->TakeFd().Close();
    ::unlink(temp_file_name_.c_str());
  }
}

std::size_t TQRStream::Read(std::span<std::uint8_t> buffer) {
  const Guard guard(mutex_);
  std::size_t count = 0;
  if (in_memory_) {
    const auto size = static_cast<std::int64_t>(memory_.size());
    if (position_ < size && !buffer.empty()) {
      count =
          static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(buffer.size()), size - position_));
      std::memcpy(buffer.data(), memory_.data() + position_, count);
    }
  } else {
    count = file_->ReadAt(position_, buffer);
  }
  position_ += static_cast<std::int64_t>(count);
  return count;
}

std::size_t TQRStream::Write(ByteSpan buffer) {
  const Guard guard(mutex_);
  if (!in_memory_) {
    const std::size_t count = file_->WriteAt(position_, buffer);
    position_ += static_cast<std::int64_t>(count);
    return count;
  }
  if (buffer.empty()) return 0;  // as in a file: nothing written, nothing grows
  const auto end = static_cast<std::size_t>(position_) + buffer.size();
  if (static_cast<std::size_t>(position_) == memory_.size()) {
    memory_.insert(memory_.end(), buffer.begin(), buffer.end());
  } else {
    if (end > memory_.size()) memory_.resize(end);
    std::copy(buffer.begin(), buffer.end(), memory_.begin() + position_);
  }
  position_ = static_cast<std::int64_t>(end);
  if (memory_.size() > static_cast<std::size_t>(std::max<std::int32_t>(spill_limit_, 0))) SpillToFile();
  return buffer.size();
}

void TQRStream::SpillToFile() {
  CreatedFile created = CreateTempFile(temp_directory_.empty() ? DefaultTempDirectory() : temp_directory_, "QRP");
  if (!created.fd.Valid()) throw EFileCreateError(created.path, SystemErrorText(created.error));
  FileStore store(std::move(created.fd), true);
  const bool filled = store.WriteAt(0, memory_) == memory_.size() && store.Flush();
  if (!filled) {
    const int error = errno != 0 ? errno : EIO;
    store.TakeFd().Close();
    ::unlink(created.path.c_str());
    throw EFileCreateError(created.path, SystemErrorText(error));
  }
  temp_file_name_ = std::move(created.path);
  file_.emplace(std::move(store));
  Bytes().swap(memory_);
  in_memory_ = false;
}

std::int64_t TQRStream::Seek(std::int32_t offset, SeekOrigin origin) {
  const Guard guard(mutex_);
  std::int64_t base = 0;
  if (origin == SeekOrigin::Current) base = position_;
  if (origin == SeekOrigin::End) base = Size();
  const std::int64_t target = base + offset;
  if (target < 0) return -1;
  position_ = target;
  return position_;
}

std::int64_t TQRStream::Size() {
  const Guard guard(mutex_);
  return in_memory_ ? static_cast<std::int64_t>(memory_.size()) : file_->Size();
}

bool TQRStream::Truncate(std::int64_t size) {
  const Guard guard(mutex_);
  if (size < 0 || size > Size()) return false;
  const bool done = in_memory_ ? (memory_.resize(static_cast<std::size_t>(size)), true) : file_->Truncate(size);
  if (done) position_ = std::min(position_, size);
  return done;
}

std::int64_t TQRStream::Position() {
  const Guard guard(mutex_);
  return position_;
}

void TQRStream::SetPosition(std::int64_t position) {
  const Guard guard(mutex_);
  if (position >= 0) position_ = position;
}

void TQRStream::ReadBuffer(std::span<std::uint8_t> buffer) {
  if (Read(buffer) != buffer.size()) throw EStreamReadError();
}

void TQRStream::WriteBuffer(ByteSpan buffer) {
  if (Write(buffer) != buffer.size()) throw EStreamWriteError();
}

void TQRStream::CopyTo(TQRStream& destination) {
  CopyTo([&destination](ByteSpan chunk) { destination.WriteBuffer(chunk); });
}

void TQRStream::CopyTo(const std::function<void(ByteSpan)>& write) {
  const Guard guard(mutex_);
  position_ = 0;
  std::array<std::uint8_t, CopyBufferSize> buffer{};
  while (true) {
    const std::size_t count = Read(buffer);
    if (count == 0) break;
    write(ByteSpan(buffer.data(), count));
  }
}

std::int32_t ReadI32(TQRStream& stream) {
  std::array<std::uint8_t, 4> bytes{};
  stream.ReadBuffer(bytes);
  return LoadI32(bytes, 0);
}

void WriteI32(TQRStream& stream, std::int32_t value) {
  std::array<std::uint8_t, 4> bytes{};
  StoreU32(bytes, 0, static_cast<std::uint32_t>(value));
  stream.WriteBuffer(bytes);
}

}  // namespace pravel
