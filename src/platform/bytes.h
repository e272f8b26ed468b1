#pragma once
// Little-endian byte access. Every read through ByteReader is checked against
// the end of its data; the free Load* functions expect checked offsets.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "platform/errors.h"

namespace pravel {

using Bytes = std::vector<std::uint8_t>;
using ByteSpan = std::span<const std::uint8_t>;

// True when [offset, offset + length) lies within a buffer of `size` bytes.
constexpr bool InBounds(std::size_t size, std::uint64_t offset, std::uint64_t length) noexcept {
  return offset <= size && length <= size - offset;
}

inline std::uint16_t LoadU16(ByteSpan b, std::size_t at) noexcept {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
inline std::uint32_t LoadU32(ByteSpan b, std::size_t at) noexcept {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
inline std::int16_t LoadI16(ByteSpan b, std::size_t at) noexcept { return static_cast<std::int16_t>(LoadU16(b, at)); }
inline std::int32_t LoadI32(ByteSpan b, std::size_t at) noexcept { return static_cast<std::int32_t>(LoadU32(b, at)); }
inline std::uint64_t LoadU64(ByteSpan b, std::size_t at) noexcept {
  return static_cast<std::uint64_t>(LoadU32(b, at)) | (static_cast<std::uint64_t>(LoadU32(b, at + 4)) << 32);
}
inline float LoadF32(ByteSpan b, std::size_t at) noexcept { return std::bit_cast<float>(LoadU32(b, at)); }
inline double LoadF64(ByteSpan b, std::size_t at) noexcept { return std::bit_cast<double>(LoadU64(b, at)); }

inline void AppendU8(Bytes& out, std::uint8_t v) { out.push_back(v); }
inline void AppendU16(Bytes& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void AppendU32(Bytes& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}
inline void AppendI16(Bytes& out, std::int16_t v) { AppendU16(out, static_cast<std::uint16_t>(v)); }
inline void AppendI32(Bytes& out, std::int32_t v) { AppendU32(out, static_cast<std::uint32_t>(v)); }
inline void AppendF32(Bytes& out, float v) { AppendU32(out, std::bit_cast<std::uint32_t>(v)); }
inline void AppendF64(Bytes& out, double v) {
  const auto bits = std::bit_cast<std::uint64_t>(v);
  AppendU32(out, static_cast<std::uint32_t>(bits));
  AppendU32(out, static_cast<std::uint32_t>(bits >> 32));
}
inline void StoreU32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) noexcept {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A cursor over bytes from a file. Reading past the end raises
// EMetafileError, the error every caller reports for corrupt report data.
class ByteReader {
 public:
  explicit ByteReader(ByteSpan data, std::size_t pos = 0) noexcept : data_(data), pos_(pos) {}

  std::size_t Pos() const noexcept { return pos_; }
  std::size_t Size() const noexcept { return data_.size(); }
  std::size_t Remaining() const noexcept { return pos_ <= data_.size() ? data_.size() - pos_ : 0; }
  bool Has(std::uint64_t n) const noexcept { return InBounds(data_.size(), pos_, n); }

  void Seek(std::size_t pos) {
    if (pos > data_.size()) Fail();
    pos_ = pos;
  }
  void Skip(std::uint64_t n) {
    Need(n);
    pos_ += static_cast<std::size_t>(n);
  }
  ByteSpan Take(std::uint64_t n) {
    Need(n);
    const auto out = data_.subspan(pos_, static_cast<std::size_t>(n));
    pos_ += static_cast<std::size_t>(n);
    return out;
  }
  std::uint8_t U8() {
    Need(1);
    return data_[pos_++];
  }
  std::uint16_t U16() {
    Need(2);
    const auto v = LoadU16(data_, pos_);
    pos_ += 2;
    return v;
  }
  std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
  std::uint32_t U32() {
    Need(4);
    const auto v = LoadU32(data_, pos_);
    pos_ += 4;
    return v;
  }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  float F32() { return std::bit_cast<float>(U32()); }
  double F64() {
    Need(8);
    const auto v = LoadF64(data_, pos_);
    pos_ += 8;
    return v;
  }

 private:
  void Need(std::uint64_t n) const {
    if (!Has(n)) Fail();
  }
  [[noreturn]] static void Fail() { throw EMetafileError("data ends early"); }

  ByteSpan data_;
  std::size_t pos_;
};

}  // namespace pravel
