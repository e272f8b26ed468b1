#include "report/qr_compress.h"

#include "platform/errors.h"

namespace pravel {

TQRCompress::TQRCompress(TQRStream& stream, TQRCompressMode mode, std::int64_t input_limit)
    : stream_(stream), mode_(mode), input_limit_(input_limit) {
  for (int j = 1; j < kNodes; ++j) Up[static_cast<std::size_t>(j)] = static_cast<std::uint8_t>((j - 1) / 2);
  for (int i = 0; i < 256; ++i) {
    Left[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(2 * i + 1);
    Right[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(2 * i + 2);
  }
  BitIndex = mode == TQRCompressMode::Expand ? 7 : 0;
}

TQRCompress::~TQRCompress() {
  try {
    Flush();
  } catch (...) {  // NOLINT(bugprone-empty-catch): a destructor cannot report
  }
}

void TQRCompress::Flush() {
  if (mode_ != TQRCompressMode::Compress || BitIndex == 0) return;
  const std::uint8_t byte = output_byte_;
  BitIndex = 0;
  output_byte_ = 0;
  stream_.WriteBuffer(ByteSpan(&byte, 1));
}

void TQRCompress::Splay(std::uint8_t value) noexcept {
  unsigned a = 256U + value;
  while (a != 0) {
    const unsigned p = Up[a];
    if (p == 0) break;
    const unsigned g = Up[p];
    unsigned u = 0;
    if (Left[g] == p) {
      u = Right[g];
      Right[g] = static_cast<std::uint16_t>(a);
    } else {
      u = Left[g];
      Left[g] = static_cast<std::uint16_t>(a);
    }
    if (Left[p] == a) {
      Left[p] = static_cast<std::uint16_t>(u);
    } else {
      Right[p] = static_cast<std::uint16_t>(u);
    }
    Up[a] = static_cast<std::uint8_t>(g);
    Up[u] = static_cast<std::uint8_t>(p);
    a = g;
  }
}

void TQRCompress::WriteBit(bool bit) {
  if (bit) output_byte_ = static_cast<std::uint8_t>(output_byte_ | (1U << BitIndex));
  if (BitIndex == 7) {
    const std::uint8_t byte = output_byte_;
    BitIndex = 0;
    output_byte_ = 0;
    stream_.WriteBuffer(ByteSpan(&byte, 1));
  } else {
    ++BitIndex;
  }
}

bool TQRCompress::ReadBit() {
  if (BitIndex == 7) {
    if (bytes_read_ >= input_limit_ || stream_.Read(std::span(&input_byte_, 1)) != 1)
      throw EMetafileError("compressed page ends early");
    ++bytes_read_;
    BitIndex = 0;
  } else {
    ++BitIndex;
  }
  return ((input_byte_ >> BitIndex) & 1U) != 0;
}

void TQRCompress::Encode(std::uint8_t value) {
  // Flags from the leaf up; a path is at most 256 edges long.
  std::array<std::uint64_t, 4> flags{};
  int depth = 0;
  unsigned a = 256U + value;
  while (a != 0) {
    const unsigned p = Up[a];
    if (Right[p] == a) flags[static_cast<std::size_t>(depth >> 6)] |= std::uint64_t{1} << (depth & 63);
    ++depth;
    a = p;
  }
  while (depth > 0) {
    --depth;
    WriteBit(((flags[static_cast<std::size_t>(depth >> 6)] >> (depth & 63)) & 1U) != 0);
  }
  Splay(value);
}

std::uint8_t TQRCompress::Decode() {
  unsigned a = 0;
  do {
    a = ReadBit() ? Right[a] : Left[a];
  } while (a <= 255);
  if (a == 512) throw EMetafileError("compressed code reaches no byte value");
  const auto value = static_cast<std::uint8_t>(a - 256);
  Splay(value);
  return value;
}

}  // namespace pravel
