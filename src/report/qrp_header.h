#pragma once
// The 128-byte header at the start of a .qrp file.

#include <array>
#include <cstdint>

#include "platform/bytes.h"

namespace pravel {

inline constexpr std::int32_t HeaderSize = 128;

struct QrpHeader {
  std::uint16_t FormatWordA = 3;
  std::uint16_t FormatWordB = 350;
  std::int32_t PageCount = 0;
  double CreatedAt = 0;  // local time, days since 1899-12-30
  std::uint8_t CompressedFlag = 0;
};

// The header bytes; the reserved bytes are zero.
std::array<std::uint8_t, HeaderSize> FormatQrpHeader(const QrpHeader& header);
// Reads the fields from the first HeaderSize bytes (the caller checks the length).
QrpHeader ParseQrpHeader(ByteSpan bytes);

}  // namespace pravel
