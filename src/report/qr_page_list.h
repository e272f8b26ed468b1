#pragma once
// The pages of a prepared report, kept one after another in a TQRStream in
// exactly the layout of a .qrp file: a 128-byte header, then one record per
// page (page number, NextOffset, payload, BackOffset), chained both ways.
//
// Every offset read from the stream is checked before it is used; corrupt
// data raises EMetafileError with a detail saying what was wrong. A failed
// GetPage leaves the stream where it was, at a record boundary.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/metafile.h"
#include "report/qr_stream.h"
#include "report/qrp_header.h"

namespace pravel {

// One page record as found in the stream.
struct PageRecordInfo {
  std::int32_t Page = 0;
  std::int64_t Offset = 0;      // of the page-number field
  std::int64_t NextOffset = 0;  // the byte after the record
  std::int64_t EmfBytes = 0;    // nBytes of a plain page, UncompressedSize of a compressed one
};

// A page's record and its payload bytes as stored, read from the stream
// under the page list's lock and decoded apart from it (DecodeStoredPage),
// so that pages can be decoded on several threads.
struct StoredPage {
  PageRecordInfo Record;
  bool Compressed = false;
  Bytes Payload;  // the EMF of a plain page; the code bytes of a compressed one
};

// The page held by `stored`. Throws EMetafileError ("page N: ...") for
// corrupt data.
gdi::Metafile DecodeStoredPage(const StoredPage& stored);

class TQRPageList {
 public:
  TQRPageList() = default;
  ~TQRPageList() = default;
  TQRPageList(const TQRPageList&) = delete;
  TQRPageList& operator=(const TQRPageList&) = delete;

  // PageCount 0; the stream is left to its owner.
  void Clear() noexcept;
  void Lock() { mutex_.lock(); }
  void Unlock() { mutex_.unlock(); }

  // Appends one record; the first page also writes the header.
  void AddPage(const gdi::Metafile& page);
  // Page n, or nothing when n is not between 1 and PageCount (the stream is
  // then not touched). Throws EMetafileError for corrupt data.
  std::optional<gdi::Metafile> GetPage(std::int32_t n);

  // Page n's record and payload bytes, not decoded; nothing when n is not
  // between 1 and PageCount. Checks the record as GetPage does.
  std::optional<StoredPage> ReadStoredPage(std::int32_t n);

  void GoToPage(std::int32_t n);
  void GoToFirstPage();
  void GoToLastPage();

  // Writes the header at offset 0 with the current count, the current local
  // time and the compression flag; the position is then 128.
  void WriteHeader();
  void Finish() { WriteHeader(); }
  // Reads the header at offset 0 and takes PageCount from it; the position
  // is then 128. Throws EMetafileError for a stream shorter than the header
  // or a negative page count.
  QrpHeader ReadHeader();

  // Opens the file read-only as the stream, reads its header and takes
  // Compression from its CompressedFlag. On failure the page list has no
  // stream and keeps its PageCount.
  void LoadFile(const std::string& path);
  // Writes the whole stream to a temporary file beside `path` and renames
  // it into place. Saving onto the loaded file fails. Throws EFileCreateError.
  void SaveFile(const std::string& path);

  // Walks the whole record chain from the first record and checks every
  // record (offsets, page numbers, payload lengths) and that the records
  // match PageCount. Pages are not decoded. The position is kept.
  std::vector<PageRecordInfo> CheckRecords();

  bool Compression() const noexcept { return compression_; }
  void SetCompression(bool compression) noexcept { compression_ = compression; }
  std::int32_t PageCount() const noexcept { return page_count_; }
  const std::shared_ptr<TQRStream>& Stream() const noexcept { return stream_; }
  void SetStream(std::shared_ptr<TQRStream> stream) noexcept { stream_ = std::move(stream); }

 private:
  TQRStream& RequireStream() const;
  std::int32_t ReadI32At(std::int64_t offset);
  std::int32_t PageNumberAt(std::int64_t offset, std::int64_t size, std::int32_t wanted);
  PageRecordInfo ReadRecord(std::int64_t offset, std::int32_t page);
  gdi::Metafile ReadPayload(const PageRecordInfo& record);
  void WriteRecordHead(std::int64_t& start, std::int64_t& next_field);
  void WriteRecordTail(std::int64_t start, std::int64_t next_field);

  std::recursive_mutex mutex_;
  std::shared_ptr<TQRStream> stream_;
  bool compression_ = false;
  std::int32_t page_count_ = 0;
};

}  // namespace pravel
