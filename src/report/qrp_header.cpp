#include "report/qrp_header.h"

#include <bit>

namespace pravel {

std::array<std::uint8_t, HeaderSize> FormatQrpHeader(const QrpHeader& header) {
  std::array<std::uint8_t, HeaderSize> bytes{};
  bytes[0] = static_cast<std::uint8_t>(header.FormatWordA);
  bytes[1] = static_cast<std::uint8_t>(header.FormatWordA >> 8);
  bytes[2] = static_cast<std::uint8_t>(header.FormatWordB);
  bytes[3] = static_cast<std::uint8_t>(header.FormatWordB >> 8);
  StoreU32(bytes, 8, static_cast<std::uint32_t>(header.PageCount));
  const auto created = std::bit_cast<std::uint64_t>(header.CreatedAt);
  StoreU32(bytes, 16, static_cast<std::uint32_t>(created));
  StoreU32(bytes, 20, static_cast<std::uint32_t>(created >> 32));
  bytes[25] = header.CompressedFlag;
  return bytes;
}

QrpHeader ParseQrpHeader(ByteSpan bytes) {
  QrpHeader header;
  header.FormatWordA = LoadU16(bytes, 0);
  header.FormatWordB = LoadU16(bytes, 2);
  header.PageCount = LoadI32(bytes, 8);
  header.CreatedAt = LoadF64(bytes, 16);
  header.CompressedFlag = bytes[25];
  return header;
}

}  // namespace pravel
