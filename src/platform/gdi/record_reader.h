#pragma once
// Iterates the records of a metafile. The chain was checked when the
// Metafile was built, so every record lies within the metafile's bytes;
// the fields inside a record are read through a ByteReader over its bytes.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/bytes.h"
#include "platform/gdi/metafile.h"

namespace pravel::gdi {

struct EmfRecord {
  std::uint32_t type = 0;
  std::size_t offset = 0;  // within the metafile
  ByteSpan bytes;          // the whole record, its 8-byte type and size included

  // Reader positioned after the type and size fields.
  ByteReader Fields() const { return ByteReader(bytes, 8); }
};

class RecordReader {
 public:
  explicit RecordReader(const Metafile& metafile) noexcept : data_(metafile.Data()) {}

  // The next record, or nothing after the EOF record.
  std::optional<EmfRecord> Next();

 private:
  ByteSpan data_;
  std::size_t pos_ = 0;
  bool done_ = false;
};

}  // namespace pravel::gdi
