#include "platform/gdi/record_reader.h"

#include "platform/gdi/emf_types.h"

namespace pravel::gdi {

std::optional<EmfRecord> RecordReader::Next() {
  if (done_ || !InBounds(data_.size(), pos_, 8)) return std::nullopt;
  const std::uint32_t type = LoadU32(data_, pos_);
  const std::uint32_t size = LoadU32(data_, pos_ + 4);
  if (size < 8 || !InBounds(data_.size(), pos_, size)) {
    done_ = true;  // cannot happen for a checked metafile
    return std::nullopt;
  }
  EmfRecord record{type, pos_, data_.subspan(pos_, size)};
  pos_ += size;
  if (type == static_cast<std::uint32_t>(Emr::Eof)) done_ = true;
  return record;
}

}  // namespace pravel::gdi
