#include "report/qr_compress.h"

#include "platform/errors.h"

namespace pravel {

TQRCompress::TQRCompress(TQRStream& stream, TQRCompressMode mode, std::int64_t input_limit)
    : stream_(stream), mode_(mode), input_limit_(input_limit) {
  for (std::size_t j = 1; j < kNodes; ++j) Up[j] = static_cast<std::uint8_t>((j - 1) / 2);
  for (std::size_t i = 0; i < 256; ++i) {
    Child[i][0] = static_cast<std::uint16_t>(2 * i + 1);
    Child[i][1] = static_cast<std::uint16_t>(2 * i + 2);
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
  const auto byte = static_cast<std::uint8_t>(output_bits_);
  BitIndex = 0;
  output_bits_ = 0;
  stream_.WriteBuffer(ByteSpan(&byte, 1));
}

void TQRCompress::Splay(std::uint8_t value) noexcept {
  unsigned a = 256U + value;
  while (true) {
    const unsigned p = Up[a];
    if (p == 0) break;
    const unsigned g = Up[p];
    // u, p's sibling, takes a's place under p; a takes u's place under g.
    const unsigned p_side = Child[g][0] == p ? 0U : 1U;
    const unsigned u = Child[g][1U - p_side];
    Child[g][1U - p_side] = static_cast<std::uint16_t>(a);
    Child[p][Child[p][0] == a ? 0U : 1U] = static_cast<std::uint16_t>(u);
    Up[a] = static_cast<std::uint8_t>(g);
    Up[u] = static_cast<std::uint8_t>(p);
    a = g;
  }
}

void TQRCompress::WriteBits(std::uint64_t bits, int count) {
  output_bits_ |= bits << BitIndex;
  BitIndex += count;
  while (BitIndex >= 8) {
    const auto byte = static_cast<std::uint8_t>(output_bits_);
    output_bits_ >>= 8;
    BitIndex -= 8;
    stream_.WriteBuffer(ByteSpan(&byte, 1));
  }
}

std::uint8_t TQRCompress::NextInputByte() {
  std::uint8_t byte = 0;
  if (bytes_read_ >= input_limit_ || stream_.Read(std::span(&byte, 1)) != 1)
    throw EMetafileError("compressed page ends early");
  ++bytes_read_;
  return byte;
}

void TQRCompress::Encode(std::uint8_t value) {
  // The path from the leaf up, in chunks of 16 edges: each step shifts the
  // chunk left, so the edge nearest the root ends up in bit 0 and is written
  // first. A path has at most 256 edges.
  constexpr int kChunk = 16;
  std::array<std::uint64_t, 256 / kChunk> full;  // NOLINT(cppcoreguidelines-pro-type-member-init): filled as used
  std::size_t full_count = 0;
  std::uint64_t code = 0;
  int bits = 0;
  unsigned a = 256U + value;
  do {
    const unsigned p = Up[a];
    code = (code << 1) | (Child[p][1] == a ? 1U : 0U);
    a = p;
    if (++bits == kChunk && a != 0) {
      full[full_count++] = code;
      code = 0;
      bits = 0;
    }
  } while (a != 0);
  WriteBits(code, bits);
  while (full_count > 0) WriteBits(full[--full_count], kChunk);
  Splay(value);
}

std::uint8_t TQRCompress::Decode() {
  // The bit position and the code byte stay in registers for the walk.
  unsigned bit_index = static_cast<unsigned>(BitIndex);
  unsigned byte = input_byte_;
  unsigned a = 0;
  do {
    if (bit_index == 7) {
      byte = NextInputByte();
      bit_index = 0;
    } else {
      ++bit_index;
    }
    a = Child[a][(byte >> bit_index) & 1U];
  } while (a <= 255);
  BitIndex = static_cast<int>(bit_index);
  input_byte_ = static_cast<std::uint8_t>(byte);
  if (a == 512) throw EMetafileError("compressed code reaches no byte value");
  const auto value = static_cast<std::uint8_t>(a - 256);
  Splay(value);
  return value;
}

}  // namespace pravel
