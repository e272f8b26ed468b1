#include "report/qr_page_list.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <limits>
#include <stdexcept>

#include "platform/errors.h"
#include "platform/gdi/emf_types.h"
#include "report/ole_date.h"
#include "report/posix_file.h"
#include "report/qr_compress.h"

namespace pravel {

namespace {

constexpr std::int64_t kRecordOverhead = 12;  // page number, NextOffset, BackOffset
constexpr std::int64_t kMaxOffset = std::numeric_limits<std::int32_t>::max();

[[noreturn]] void Corrupt(const std::string& detail) { throw EMetafileError(detail); }

std::string At(std::int64_t offset) { return std::to_string(offset); }

// Restores the stream position when a scope is left by an exception.
class PositionRestorer {
 public:
  explicit PositionRestorer(TQRStream& stream) : stream_(stream), position_(stream.Position()) {}
  ~PositionRestorer() {
    if (std::uncaught_exceptions() > exceptions_) stream_.SetPosition(position_);
  }
  PositionRestorer(const PositionRestorer&) = delete;
  PositionRestorer& operator=(const PositionRestorer&) = delete;

 private:
  TQRStream& stream_;
  std::int64_t position_;
  int exceptions_ = std::uncaught_exceptions();
};

std::string FullPath(const std::filesystem::path& path) {
  std::error_code error;
  const auto absolute = std::filesystem::absolute(path, error);
  return error ? path.string() : absolute.string();
}

// Expands a compressed page whose code lies in `code` from its position up
// to `code_end`, and checks that the code and the EMF end where the record
// says. `file_delta` turns positions in `code` into file offsets.
Bytes ExpandPage(TQRStream& code, std::int64_t code_end, const PageRecordInfo& record, std::int64_t file_delta) {
  Bytes bytes(static_cast<std::size_t>(record.EmfBytes));
  TQRCompress coder(code, TQRCompressMode::Expand, code_end - code.Position());
  for (std::uint8_t& byte : bytes) byte = coder.Decode();
  if (code.Position() != code_end)
    Corrupt("the compressed page at offset " + At(record.Offset) + " ends at offset " +
            At(file_delta + code.Position()) + ", before its BackOffset at " + At(file_delta + code_end));
  if (bytes.size() >= 52 && LoadU32(bytes, 48) != bytes.size())
    Corrupt("EMF nBytes " + At(LoadU32(bytes, 48)) + " of the compressed page at offset " + At(record.Offset) +
            " differs from its UncompressedSize " + At(record.EmfBytes));
  return bytes;
}

}  // namespace

void TQRPageList::Clear() noexcept { page_count_ = 0; }

TQRStream& TQRPageList::RequireStream() const {
  if (!stream_) throw std::logic_error("page list has no stream");
  return *stream_;
}

std::int32_t TQRPageList::ReadI32At(std::int64_t offset) {
  TQRStream& stream = RequireStream();
  stream.SetPosition(offset);
  return ReadI32(stream);
}

// ---- writing -------------------------------------------------------------

void TQRPageList::WriteHeader() {
  TQRStream& stream = RequireStream();
  QrpHeader header;
  header.PageCount = page_count_;
  header.CreatedAt = OleDateNow();
  header.CompressedFlag = compression_ ? 1 : 0;
  stream.SetPosition(0);
  stream.WriteBuffer(FormatQrpHeader(header));
}

void TQRPageList::WriteRecordHead(std::int64_t& start, std::int64_t& next_field) {
  TQRStream& stream = RequireStream();
  stream.Seek(0, SeekOrigin::End);
  start = stream.Position();
  WriteI32(stream, page_count_);
  next_field = stream.Position();
  WriteI32(stream, static_cast<std::int32_t>(next_field));
}

void TQRPageList::WriteRecordTail(std::int64_t start, std::int64_t next_field) {
  TQRStream& stream = RequireStream();
  WriteI32(stream, static_cast<std::int32_t>(start));
  const std::int64_t end = stream.Position();
  if (end > kMaxOffset) throw EStreamWriteError();
  stream.SetPosition(next_field);
  WriteI32(stream, static_cast<std::int32_t>(end));
  stream.SetPosition(end);
}

void TQRPageList::AddPage(const gdi::Metafile& page) {
  const ScopedLock list_lock(*this);
  TQRStream& stream = RequireStream();
  const ScopedLock stream_lock(stream);
  const ByteSpan bytes = page.Data();
  // Offsets are 32-bit: refuse a page that cannot end below 2 GiB.
  const std::int64_t least_payload =
      compression_ ? 4 + static_cast<std::int64_t>(bytes.size() / 8) : static_cast<std::int64_t>(bytes.size());
  if (std::max<std::int64_t>(stream.Size(), HeaderSize) + kRecordOverhead + least_payload > kMaxOffset)
    throw EStreamWriteError();

  // A record that cannot be finished is cut off again, so that the chain
  // still ends at the last whole record.
  const std::int64_t size_before = stream.Size();
  ++page_count_;
  try {
    if (page_count_ == 1) WriteHeader();
    std::int64_t start = 0;
    std::int64_t next_field = 0;
    WriteRecordHead(start, next_field);
    if (compression_) {
      WriteI32(stream, static_cast<std::int32_t>(bytes.size()));
      TQRCompress coder(stream, TQRCompressMode::Compress);
      for (const std::uint8_t byte : bytes) coder.Encode(byte);
      coder.Flush();
    } else {
      stream.WriteBuffer(bytes);
    }
    WriteRecordTail(start, next_field);
  } catch (...) {
    --page_count_;
    stream.Truncate(size_before);
    throw;
  }
}

// ---- reading -------------------------------------------------------------

QrpHeader TQRPageList::ReadHeader() {
  TQRStream& stream = RequireStream();
  std::array<std::uint8_t, HeaderSize> bytes{};
  stream.SetPosition(0);
  const std::size_t got = stream.Read(bytes);
  if (got < bytes.size()) Corrupt("the file has " + std::to_string(got) + " bytes, fewer than its 128-byte header");
  const QrpHeader header = ParseQrpHeader(bytes);
  if (header.PageCount < 0) Corrupt("negative page count " + std::to_string(header.PageCount));
  page_count_ = header.PageCount;
  return header;
}

void TQRPageList::LoadFile(const std::string& path) {
  stream_.reset();
  stream_ = TQRStream::OpenFile(path);
  try {
    const QrpHeader header = ReadHeader();
    compression_ = header.CompressedFlag != 0;
  } catch (...) {
    stream_.reset();
    throw;
  }
}

std::int32_t TQRPageList::PageNumberAt(std::int64_t offset, std::int64_t size, std::int32_t wanted) {
  if (offset < HeaderSize || offset + kRecordOverhead > size)
    Corrupt("page " + std::to_string(wanted) + " not found: the record chain leaves the file at offset " + At(offset));
  return ReadI32At(offset);
}

void TQRPageList::GoToFirstPage() { RequireStream().SetPosition(HeaderSize); }

void TQRPageList::GoToLastPage() {
  TQRStream& stream = RequireStream();
  const std::int64_t size = stream.Size();
  if (size < HeaderSize + kRecordOverhead) Corrupt("the file holds no page records");
  const std::int64_t back = ReadI32At(size - 4);
  if (back < HeaderSize || back > size - kRecordOverhead)
    Corrupt("BackOffset " + At(back) + " at offset " + At(size - 4) + " lies outside the records");
  stream.SetPosition(back);
}

void TQRPageList::GoToPage(std::int32_t n) {
  TQRStream& stream = RequireStream();
  const ScopedLock stream_lock(stream);
  const PositionRestorer restore_on_error(stream);
  if (n == 1) return GoToFirstPage();
  if (n == page_count_) return GoToLastPage();
  const std::int64_t size = stream.Size();
  if (stream.Position() == size) GoToLastPage();
  std::int64_t position = stream.Position();
  std::int32_t current = PageNumberAt(position, size, n);
  if (n > current) {
    while (current != n) {
      const std::int64_t next = ReadI32At(position + 4);
      if (next <= position) Corrupt("record chain loops at offset " + At(position));
      if (next == size)
        Corrupt("page " + std::to_string(n) + " not found: the record chain ends at offset " + At(position));
      if (next > size)
        Corrupt("NextOffset " + At(next) + " of the record at offset " + At(position) +
                " lies past the end of the file");
      if (next < position + kRecordOverhead) Corrupt("the record at offset " + At(position) + " is too short");
      position = next;
      current = PageNumberAt(position, size, n);
    }
  } else {
    while (current != n) {
      if (position <= HeaderSize)
        Corrupt("page " + std::to_string(n) + " not found: the record chain starts at offset " + At(position));
      const std::int64_t back = ReadI32At(position - 4);
      if (back >= position) Corrupt("record chain loops at offset " + At(position));
      if (back < HeaderSize)
        Corrupt("BackOffset " + At(back) + " at offset " + At(position - 4) + " lies outside the records");
      position = back;
      current = PageNumberAt(position, size, n);
    }
  }
  stream.SetPosition(position);
}

PageRecordInfo TQRPageList::ReadRecord(std::int64_t offset, std::int32_t page) {
  TQRStream& stream = RequireStream();
  const std::int64_t size = stream.Size();
  const std::string where = "the record at offset " + At(offset);
  if (offset < HeaderSize || offset + kRecordOverhead > size)
    Corrupt("the record of page " + std::to_string(page) + " at offset " + At(offset) + " lies outside the file (" +
            At(size) + " bytes)");
  PageRecordInfo record;
  record.Offset = offset;
  record.Page = ReadI32At(offset);
  record.NextOffset = ReadI32(stream);
  if (record.Page != page)
    Corrupt(where + " holds page " + std::to_string(record.Page) + ", not page " + std::to_string(page));
  if (record.NextOffset <= offset) Corrupt("record chain loops at offset " + At(offset));
  if (record.NextOffset > size)
    Corrupt("NextOffset " + At(record.NextOffset) + " of " + where + " lies past the end of the file (" + At(size) +
            " bytes)");
  if (record.NextOffset < offset + kRecordOverhead)
    Corrupt(where + " is too short for its fields (NextOffset " + At(record.NextOffset) + ")");
  const std::int64_t back = ReadI32At(record.NextOffset - 4);
  if (back != offset)
    Corrupt("BackOffset " + At(back) + " at offset " + At(record.NextOffset - 4) + " does not point back at " + where);

  const std::int64_t payload = offset + 8;
  const std::int64_t available = record.NextOffset - 4 - payload;
  if (compression_) {
    if (available < 4) Corrupt(where + " is too short for a compressed page");
    record.EmfBytes = ReadI32At(payload);
    const std::int64_t code_bytes = available - 4;
    if (record.EmfBytes < 0) Corrupt("UncompressedSize " + At(record.EmfBytes) + " of " + where + " is negative");
    if (record.EmfBytes > code_bytes * 8)
      Corrupt("UncompressedSize " + At(record.EmfBytes) + " of " + where + " is more than its " + At(code_bytes) +
              " code bytes can hold");
  } else {
    if (available < gdi::kEmfHeaderBaseSize) Corrupt(where + " is too short for an EMF header");
    record.EmfBytes = static_cast<std::uint32_t>(ReadI32At(payload + 48));
    if (record.EmfBytes > available)
      Corrupt("EMF nBytes " + At(record.EmfBytes) + " of " + where + " exceeds its payload of " + At(available) +
              " bytes");
    if (record.EmfBytes < available)
      Corrupt("EMF nBytes " + At(record.EmfBytes) + " of " + where + " leaves " + At(available - record.EmfBytes) +
              " bytes of its payload unused");
  }
  return record;
}

gdi::Metafile TQRPageList::ReadPayload(const PageRecordInfo& record) {
  TQRStream& stream = RequireStream();
  const std::int64_t payload = record.Offset + 8;
  if (compression_) {
    stream.SetPosition(payload + 4);
    return gdi::Metafile::FromBytes(ExpandPage(stream, record.NextOffset - 4, record, 0));
  }
  Bytes bytes(static_cast<std::size_t>(record.EmfBytes));
  stream.SetPosition(payload);
  stream.ReadBuffer(bytes);
  return gdi::Metafile::FromBytes(std::move(bytes));
}

std::optional<gdi::Metafile> TQRPageList::GetPage(std::int32_t n) {
  if (n < 1 || n > page_count_ || !stream_) return std::nullopt;
  const ScopedLock list_lock(*this);
  TQRStream& stream = *stream_;
  const ScopedLock stream_lock(stream);
  const PositionRestorer restore_on_error(stream);
  try {
    GoToPage(n);
    const PageRecordInfo record = ReadRecord(stream.Position(), n);
    gdi::Metafile page = ReadPayload(record);
    stream.SetPosition(record.NextOffset);
    return page;
  } catch (const EMetafileError& error) {
    throw EMetafileError("page " + std::to_string(n) + ": " + error.Detail());
  }
}

std::optional<StoredPage> TQRPageList::ReadStoredPage(std::int32_t n) {
  if (n < 1 || n > page_count_ || !stream_) return std::nullopt;
  const ScopedLock list_lock(*this);
  TQRStream& stream = *stream_;
  const ScopedLock stream_lock(stream);
  const PositionRestorer restore_on_error(stream);
  try {
    GoToPage(n);
    StoredPage stored;
    stored.Record = ReadRecord(stream.Position(), n);
    stored.Compressed = compression_;
    const std::int64_t start = stored.Record.Offset + 8 + (compression_ ? 4 : 0);
    const std::int64_t end = compression_ ? stored.Record.NextOffset - 4 : start + stored.Record.EmfBytes;
    stored.Payload.resize(static_cast<std::size_t>(end - start));
    stream.SetPosition(start);
    stream.ReadBuffer(stored.Payload);
    stream.SetPosition(stored.Record.NextOffset);
    return stored;
  } catch (const EMetafileError& error) {
    throw EMetafileError("page " + std::to_string(n) + ": " + error.Detail());
  }
}

gdi::Metafile DecodeStoredPage(const StoredPage& stored) {
  const PageRecordInfo& record = stored.Record;
  const std::string page = "page " + std::to_string(record.Page) + ": ";
  if (!stored.Compressed) {
    try {
      return gdi::Metafile::FromBytes(stored.Payload);
    } catch (const EMetafileError& error) {
      throw EMetafileError(page + error.Detail());
    }
  }
  // The code bytes alone in a memory stream, decoded as GetPage decodes them.
  TQRStream code(std::numeric_limits<std::int32_t>::max());
  code.WriteBuffer(stored.Payload);
  code.SetPosition(0);
  try {
    return gdi::Metafile::FromBytes(ExpandPage(code, code.Size(), record, record.Offset + 12));
  } catch (const EMetafileError& error) {
    throw EMetafileError(page + error.Detail());
  }
}

std::vector<PageRecordInfo> TQRPageList::CheckRecords() {
  const ScopedLock list_lock(*this);
  TQRStream& stream = RequireStream();
  const ScopedLock stream_lock(stream);
  const std::int64_t start = stream.Position();
  std::vector<PageRecordInfo> records;
  try {
    const std::int64_t size = stream.Size();
    std::int64_t offset = HeaderSize;
    while (offset < size) {
      if (static_cast<std::int64_t>(records.size()) >= page_count_)
        Corrupt("the file goes on after the record of its last page (" + std::to_string(page_count_) + ") at offset " +
                At(offset));
      const auto page = static_cast<std::int32_t>(records.size() + 1);
      PageRecordInfo record;
      try {
        record = ReadRecord(offset, page);
      } catch (const EMetafileError& error) {
        throw EMetafileError("page " + std::to_string(page) + ": " + error.Detail());
      }
      records.push_back(record);
      offset = record.NextOffset;
    }
    if (static_cast<std::int64_t>(records.size()) < page_count_)
      Corrupt("the header says " + std::to_string(page_count_) + " pages, the file holds " +
              std::to_string(records.size()));
  } catch (...) {
    stream.SetPosition(start);
    throw;
  }
  stream.SetPosition(start);
  return records;
}

// ---- saving --------------------------------------------------------------

void TQRPageList::SaveFile(const std::string& path) {
  namespace fs = std::filesystem;
  fs::path target(path);
  std::error_code error;
  if (fs::is_symlink(fs::symlink_status(target, error))) {
    const fs::path resolved = fs::canonical(target, error);
    if (!error) target = resolved;
  }
  const std::string shown = FullPath(path);

  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && stream_) {
    const auto opened = stream_->OpenedFile();
    if (opened && opened->device == static_cast<std::uint64_t>(existing.st_dev) &&
        opened->inode == static_cast<std::uint64_t>(existing.st_ino))
      throw EFileCreateError(shown, SystemErrorText(EBUSY));
  }

  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  CreatedFile temp = CreateUniqueFile(folder.string(), "." + target.filename().string() + ".");
  if (!temp.fd.Valid()) throw EFileCreateError(shown, SystemErrorText(temp.error));
  try {
    if (exists) ::fchmod(temp.fd.Get(), existing.st_mode & 07777);
    std::int64_t written = 0;
    if (stream_) {
      stream_->CopyTo([&](ByteSpan chunk) {
        if (WriteFullyAt(temp.fd.Get(), written, chunk) != chunk.size())
          throw EFileCreateError(shown, SystemErrorText(errno));
        written += static_cast<std::int64_t>(chunk.size());
      });
    }
    if (::fsync(temp.fd.Get()) != 0) throw EFileCreateError(shown, SystemErrorText(errno));
    if (const int close_error = temp.fd.Close(); close_error != 0)
      throw EFileCreateError(shown, SystemErrorText(close_error));
    if (::rename(temp.path.c_str(), target.c_str()) != 0) throw EFileCreateError(shown, SystemErrorText(errno));
  } catch (...) {
    temp.fd.Close();
    ::unlink(temp.path.c_str());
    throw;
  }
}

}  // namespace pravel
