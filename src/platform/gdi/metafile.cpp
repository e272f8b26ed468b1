#include "platform/gdi/metafile.h"

#include <cmath>

#include "platform/gdi/emf_types.h"

namespace pravel::gdi {

namespace {

RectL ReadRect(ByteReader& r) { return {r.I32(), r.I32(), r.I32(), r.I32()}; }

SizeL ReadSize(ByteReader& r) { return {r.I32(), r.I32()}; }

// Walks the record chain of the first nBytes bytes; it must reach an EOF record.
void CheckRecordChain(ByteSpan bytes, const EmfHeader& header) {
  std::size_t pos = header.nSize;
  while (true) {
    if (!InBounds(header.nBytes, pos, 8)) throw EMetafileError("record chain has no EOF record");
    const std::uint32_t type = LoadU32(bytes, pos);
    const std::uint32_t size = LoadU32(bytes, pos + 4);
    if (size < 8 || !InBounds(header.nBytes, pos, size))
      throw EMetafileError("record at offset " + std::to_string(pos) + " has a bad size");
    if (type == static_cast<std::uint32_t>(Emr::Eof)) return;
    if (type == static_cast<std::uint32_t>(Emr::Header))
      throw EMetafileError("second header record at offset " + std::to_string(pos));
    pos += size;
  }
}

}  // namespace

EmfHeader ReadEmfHeader(ByteSpan bytes) {
  if (bytes.size() < kEmfHeaderBaseSize) throw EMetafileError("shorter than an EMF header");
  if (LoadU32(bytes, 0) != static_cast<std::uint32_t>(Emr::Header))
    throw EMetafileError("first record is not an EMF header");
  if (LoadU32(bytes, 40) != kEmfSignature) throw EMetafileError("no EMF signature");
  EmfHeader h;
  ByteReader r(bytes, 4);
  h.nSize = r.U32();
  h.rclBounds = ReadRect(r);
  h.rclFrame = ReadRect(r);
  r.Skip(4);  // dSignature
  for (std::uint32_t* field : {&h.nVersion, &h.nBytes, &h.nRecords}) *field = r.U32();
  h.nHandles = r.U16();
  r.Skip(2);  // sReserved
  for (std::uint32_t* field : {&h.nDescription, &h.offDescription, &h.nPalEntries}) *field = r.U32();
  h.szlDevice = ReadSize(r);
  h.szlMillimeters = ReadSize(r);
  if (h.nSize < kEmfHeaderBaseSize || h.nSize > h.nBytes) throw EMetafileError("bad header record size");
  if (h.nSize >= 108 && InBounds(bytes.size(), 100, 8)) {
    r.Seek(100);
    h.szlMicrometers = ReadSize(r);
  }
  return h;
}

Metafile Metafile::FromBytes(ByteSpan bytes) {
  const EmfHeader header = ReadEmfHeader(bytes);
  if (header.nBytes > bytes.size()) throw EMetafileError("nBytes exceeds the data");
  CheckRecordChain(bytes, header);
  auto kept = std::make_shared<Bytes>(bytes.begin(), bytes.begin() + header.nBytes);
  return Metafile(std::move(kept), header);
}

Metafile Metafile::FromBytes(Bytes&& bytes) {
  const EmfHeader header = ReadEmfHeader(bytes);
  if (header.nBytes > bytes.size()) throw EMetafileError("nBytes exceeds the data");
  CheckRecordChain(bytes, header);
  bytes.resize(header.nBytes);
  return Metafile(std::make_shared<Bytes>(std::move(bytes)), header);
}

namespace {

std::int32_t FrameToPixels(std::int32_t lo, std::int32_t hi, std::int32_t device, std::int32_t millimetres) {
  if (millimetres == 0) return 0;
  const double pixels = (static_cast<double>(hi) - lo) * device / (millimetres * 100.0);
  return static_cast<std::int32_t>(std::round(pixels));
}

}  // namespace

std::int32_t Metafile::Width() const noexcept {
  return FrameToPixels(header_.rclFrame.left, header_.rclFrame.right, header_.szlDevice.cx, header_.szlMillimeters.cx);
}

std::int32_t Metafile::Height() const noexcept {
  return FrameToPixels(header_.rclFrame.top, header_.rclFrame.bottom, header_.szlDevice.cy, header_.szlMillimeters.cy);
}

}  // namespace pravel::gdi
