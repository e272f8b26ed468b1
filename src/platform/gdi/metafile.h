#pragma once
// An enhanced metafile held as its exact bytes, with its header decoded.
// Stands in for the platform's metafile object: built from bytes (checked),
// written back as the same bytes, and played by the EMF player.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/bytes.h"

namespace pravel::gdi {

struct RectL {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const RectL&, const RectL&) = default;
};

struct SizeL {
  std::int32_t cx = 0, cy = 0;
  friend bool operator==(const SizeL&, const SizeL&) = default;
};

struct EmfHeader {
  std::uint32_t nSize = 0;  // size of the header record itself
  RectL rclBounds;          // device units of the recording device, inclusive
  RectL rclFrame;           // 0.01 mm, inclusive
  std::uint32_t nVersion = 0, nBytes = 0, nRecords = 0;
  std::uint16_t nHandles = 0;
  std::uint32_t nDescription = 0, offDescription = 0;  // UTF-16 code units, byte offset
  std::uint32_t nPalEntries = 0;
  SizeL szlDevice;       // reference device, pixels
  SizeL szlMillimeters;  // reference device, millimetres
  SizeL szlMicrometers;  // only when the header carries it (nSize >= 108)
};

// Immutable; copies share the bytes.
class Metafile {
 public:
  // Checks the header and the record chain and keeps the first nBytes bytes
  // (anything after them is not part of the metafile). Throws EMetafileError.
  static Metafile FromBytes(ByteSpan bytes);
  static Metafile FromBytes(Bytes&& bytes);

  ByteSpan Data() const noexcept { return *bytes_; }
  std::size_t Size() const noexcept { return bytes_->size(); }
  const EmfHeader& Header() const noexcept { return header_; }

  // The picture frame in reference-device pixels, halves away from zero
  // (the metafile's width and height as the platform reports them).
  std::int32_t Width() const noexcept;
  std::int32_t Height() const noexcept;

 private:
  Metafile(std::shared_ptr<const Bytes> bytes, const EmfHeader& header) : bytes_(std::move(bytes)), header_(header) {}

  std::shared_ptr<const Bytes> bytes_;
  EmfHeader header_;
};

// Decodes and checks the header fields from the first bytes of a metafile:
// record type 1, header size at least 88, the " EMF" signature and an nBytes
// that can hold the header. Does not look at the rest. Throws EMetafileError.
EmfHeader ReadEmfHeader(ByteSpan bytes);

}  // namespace pravel::gdi
