#pragma once
// Adaptive prefix coder on a semi-splayed tree: every byte value is a leaf,
// a byte is coded as its path from the root, and after each byte both sides
// reshape the tree the same way. One coder codes one page in one direction.

#include <array>
#include <cstdint>
#include <limits>

#include "report/qr_stream.h"

namespace pravel {

enum class TQRCompressMode { Compress, Expand };

class TQRCompress {
 public:
  static constexpr std::int64_t kNoLimit = std::numeric_limits<std::int64_t>::max();

  // `input_limit` caps the code bytes an expanding coder may read; reading
  // past it, or past the end of the stream, is corrupt data.
  TQRCompress(TQRStream& stream, TQRCompressMode mode, std::int64_t input_limit = kNoLimit);
  // Writes a pending partial byte (errors are lost here; call Flush first
  // to see them).
  ~TQRCompress();

  TQRCompress(const TQRCompress&) = delete;
  TQRCompress& operator=(const TQRCompress&) = delete;

  void Encode(std::uint8_t value);
  // Throws EMetafileError when the code ends early or reaches no byte value.
  std::uint8_t Decode();
  // Writes the last partial code byte, if any.
  void Flush();

  // Code bytes read so far by an expanding coder.
  std::int64_t BytesRead() const noexcept { return bytes_read_; }

 private:
  static constexpr int kNodes = 513;

  void Splay(std::uint8_t value) noexcept;
  // Appends `count` code bits, the first in bit 0 of `bits`.
  void WriteBits(std::uint64_t bits, int count);
  std::uint8_t NextInputByte();

  TQRStream& stream_;
  TQRCompressMode mode_;
  std::int64_t input_limit_;
  std::int64_t bytes_read_ = 0;
  int BitIndex = 0;  // bits pending in output_bits_, or of input_byte_ used
  std::uint64_t output_bits_ = 0;
  std::uint8_t input_byte_ = 0;
  // Child[i][0] is Left[i], the child on bit 0; Child[i][1] is Right[i].
  std::array<std::array<std::uint16_t, 2>, 256> Child{};
  std::array<std::uint8_t, kNodes> Up{};
};

}  // namespace pravel
