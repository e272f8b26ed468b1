#pragma once
// Device-independent bitmaps as metafile records carry them: the BITMAPINFO
// bytes (header, masks, colour table) and the pixel bytes, kept apart.

#include <cstddef>
#include <cstdint>
#include <variant>
#include <vector>

#include "platform/bytes.h"

namespace pravel::gdi {

// A decoded picture: rows top-down, pixels 0xAARRGGBB (not premultiplied).
struct Bitmap {
  std::int32_t width = 0, height = 0;
  std::vector<std::uint32_t> pixels;       // width * height
  bool has_alpha = false;                  // some pixels are not opaque (see DecodeDib)
  std::vector<std::uint8_t> mono_indices;  // 1-bit sources only: the 0/1 index of each pixel
};

// A JPEG or PNG payload carried whole inside a DIB (BI_JPEG / BI_PNG).
struct EncodedPicture {
  enum class Kind { Jpeg, Png } kind;
  Bytes data;
  std::int32_t width = 0, height = 0;
};

using DibPicture = std::variant<Bitmap, EncodedPicture>;

// Colour usage of a record's DIB.
inline constexpr std::uint32_t kDibRgbColors = 0;  // colour table holds RGBQUADs
inline constexpr std::uint32_t kDibPalColors = 1;  // colour table holds 16-bit palette indices

// biCompression values.
enum DibCompression : std::uint32_t {
  kBiRgb = 0,
  kBiRle8 = 1,
  kBiRle4 = 2,
  kBiBitfields = 3,
  kBiJpeg = 4,
  kBiPng = 5,
  kBiAlphaBitfields = 6,
};

// The largest picture decoded, in pixels (1 GiB of 32-bit pixels).
inline constexpr std::uint64_t kMaxDibPixels = std::uint64_t{1} << 28;

inline constexpr std::size_t kBitmapInfoHeaderSize = 40;

// What the header says, checked: width > 0, height > 0 (the sign moved to
// top_down), a known bit depth for the compression.
struct DibHeader {
  std::uint32_t header_size = 0;  // 12 for BITMAPCOREHEADER, 40, 108, 124, ...
  std::int32_t width = 0, height = 0;
  bool top_down = false;  // negative biHeight
  std::uint16_t bit_count = 0;
  std::uint32_t compression = kBiRgb;
  std::uint32_t colors_used = 0;  // biClrUsed as stored
};

// Reads and checks the header at the start of bmi. Throws EMetafileError.
DibHeader ReadDibHeader(ByteSpan bmi);

// Decodes a DIB. bmi: the BITMAPINFO bytes as the record holds them; bits:
// the pixel bytes; usage: kDibRgbColors or kDibPalColors.
//
// - 32-bit pixels keep their alpha bytes when any is non-zero (has_alpha);
//   otherwise every pixel is opaque. Other depths are opaque.
// - RLE pixels that the data never reaches (skipped by delta or end-of-line
//   escapes, or after an early end) stay 0x00000000, so playback leaves the
//   background there; has_alpha tells that such pixels exist. A run or
//   delta that leaves its row or the picture, or data that ends early, stops
//   decoding: what was decoded is kept.
// - With kDibPalColors the colour table holds indices into the default
//   20-colour system palette; indices past it give black. Pixel indices past
//   the colour table give black too. A table of implied size (biClrUsed 0)
//   may be shorter than 2^bits: the entries present are used.
//
// Throws EMetafileError for a bad header, masks or an explicitly sized
// colour table outside bmi, no colour table at all, uncompressed pixels
// that do not fit bits, or a picture over kMaxDibPixels.
DibPicture DecodeDib(ByteSpan bmi, ByteSpan bits, std::uint32_t usage = kDibRgbColors);

// The default system palette entry as 0xFFRRGGBB; black past its 20 entries.
std::uint32_t SystemPaletteColor(std::uint32_t index) noexcept;

// A 40-byte BITMAPINFOHEADER followed by bottom-up 24-bit rows padded to
// 4 bytes; alpha is dropped. Throws std::invalid_argument when the bitmap's
// size does not match its pixels.
Bytes EncodeDib24(const Bitmap& bitmap);

}  // namespace pravel::gdi
