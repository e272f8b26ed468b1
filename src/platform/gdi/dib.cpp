#include "platform/gdi/dib.h"

#include <algorithm>
#include <array>
#include <bit>
#include <stdexcept>

namespace pravel::gdi {

namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kOpaque = 0xFF000000u;

// The 20 static colours of the default palette, 0xRRGGBB.
constexpr std::array<std::uint32_t, 20> kSystemPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0,
    0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

[[noreturn]] void Fail(const char* what) { throw EMetafileError(std::string("DIB: ") + what); }

bool ValidBitCount(std::uint32_t compression, std::uint16_t bits) {
  switch (compression) {
    case kBiRgb: return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case kBiRle8: return bits == 8;
    case kBiRle4: return bits == 4;
    case kBiBitfields:
    case kBiAlphaBitfields: return bits == 16 || bits == 32;
    case kBiJpeg:
    case kBiPng: return true;
    default: return false;
  }
}

// One colour channel of a bit-field pixel, widened to 8 bits.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int width = 0;

  explicit Channel(std::uint32_t m = 0) : mask(m), shift(m ? std::countr_zero(m) : 0), width(std::popcount(m)) {}

  std::uint32_t operator()(std::uint32_t pixel) const {
    if (width == 0) return 0;
    const std::uint32_t v = (pixel & mask) >> shift;
    if (width >= 8) return (v >> (width - 8)) & 0xFF;
    // Repeat the bits downwards so that the largest value becomes 255.
    std::uint32_t out = 0;
    int filled = 0;
    while (filled < 8) {
      out = (out << width) | v;
      filled += width;
    }
    return (out >> (filled - 8)) & 0xFF;
  }
};

struct Masks {
  Channel red, green, blue, alpha;
};

// Where the colour table starts and which masks apply.
struct Layout {
  DibHeader header;
  std::size_t table_offset = 0;
  Masks masks;
};

Layout ReadLayout(ByteSpan bmi) {
  Layout layout;
  DibHeader& h = layout.header;
  h = ReadDibHeader(bmi);
  layout.table_offset = h.header_size;
  const bool fields = h.compression == kBiBitfields || h.compression == kBiAlphaBitfields;
  if (fields) {
    const bool with_alpha = h.compression == kBiAlphaBitfields;
    // A 40-byte header is followed by the masks, then the colour table;
    // later headers hold them.
    const std::size_t at = kBitmapInfoHeaderSize;
    const std::size_t count = with_alpha ? 4 : 3;
    if (!InBounds(bmi.size(), at, count * 4)) Fail("bit-field masks outside the header");
    if (h.header_size == kBitmapInfoHeaderSize) layout.table_offset = at + count * 4;
    layout.masks.red = Channel(LoadU32(bmi, at));
    layout.masks.green = Channel(LoadU32(bmi, at + 4));
    layout.masks.blue = Channel(LoadU32(bmi, at + 8));
    const bool alpha_stored = with_alpha || (h.header_size >= 56 && InBounds(bmi.size(), at + 12, 4));
    if (alpha_stored) layout.masks.alpha = Channel(LoadU32(bmi, at + 12));
  } else if (h.bit_count == 16) {
    layout.masks = {Channel(0x7C00), Channel(0x03E0), Channel(0x001F), Channel(0)};
  } else if (h.bit_count == 32) {
    layout.masks = {Channel(0xFF0000), Channel(0xFF00), Channel(0xFF), Channel(0xFF000000u)};
  }
  return layout;
}

// The colour table as 0xFFRRGGBB, always 2^bits entries; entries the table
// does not give are black.
std::vector<std::uint32_t> ReadColorTable(ByteSpan bmi, const Layout& layout, std::uint32_t usage) {
  const DibHeader& h = layout.header;
  const std::size_t full = std::size_t{1} << h.bit_count;
  std::size_t count = full;
  if (h.header_size != kCoreHeaderSize && h.colors_used != 0) count = std::min<std::size_t>(h.colors_used, full);
  std::size_t entry = h.header_size == kCoreHeaderSize ? 3 : 4;
  if (usage == kDibPalColors) {
    entry = 2;
  } else if (usage != kDibRgbColors) {
    Fail("unknown colour usage");
  }
  if (!InBounds(bmi.size(), layout.table_offset, std::uint64_t{count} * entry)) {
    // A table of implied size may be cut short (writers store only the
    // colours used); an explicit biClrUsed must fit.
    const std::size_t present = bmi.size() > layout.table_offset ? (bmi.size() - layout.table_offset) / entry : 0;
    if (h.colors_used != 0 || present == 0) Fail("colour table outside the header bytes");
    count = present;
  }
  std::vector<std::uint32_t> table(full, kOpaque);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = layout.table_offset + i * entry;
    if (usage == kDibPalColors) {
      table[i] = SystemPaletteColor(LoadU16(bmi, at));
    } else {
      table[i] = kOpaque | (std::uint32_t{bmi[at + 2]} << 16) | (std::uint32_t{bmi[at + 1]} << 8) | bmi[at];
    }
  }
  return table;
}

Bitmap MakeBitmap(const DibHeader& h, std::uint32_t fill) {
  Bitmap bm;
  bm.width = h.width;
  bm.height = h.height;
  bm.pixels.assign(static_cast<std::size_t>(h.width) * static_cast<std::size_t>(h.height), fill);
  return bm;
}

// Output row of the n-th stored row.
std::size_t OutRow(const DibHeader& h, std::size_t stored) {
  return h.top_down ? stored : static_cast<std::size_t>(h.height) - 1 - stored;
}

Bitmap DecodeUncompressed(const Layout& layout, ByteSpan bmi, ByteSpan bits, std::uint32_t usage) {
  const DibHeader& h = layout.header;
  const auto w = static_cast<std::size_t>(h.width);
  const auto rows = static_cast<std::size_t>(h.height);
  const std::uint64_t stride = (std::uint64_t{w} * h.bit_count + 31) / 32 * 4;
  if (stride * rows > bits.size()) Fail("pixel bytes shorter than the picture");

  std::vector<std::uint32_t> table;
  if (h.bit_count <= 8) table = ReadColorTable(bmi, layout, usage);

  Bitmap bm = MakeBitmap(h, kOpaque);
  if (h.bit_count == 1) bm.mono_indices.resize(bm.pixels.size());
  std::uint32_t alpha_seen = 0;
  const Masks& m = layout.masks;

  for (std::size_t r = 0; r < rows; ++r) {
    const ByteSpan row = bits.subspan(static_cast<std::size_t>(r * stride), static_cast<std::size_t>(stride));
    const std::size_t out_start = OutRow(h, r) * w;
    std::uint32_t* out = bm.pixels.data() + out_start;
    switch (h.bit_count) {
      case 1:
        for (std::size_t x = 0; x < w; ++x) {
          const std::uint8_t index = (row[x / 8] >> (7 - x % 8)) & 1;
          out[x] = table[index];
          bm.mono_indices[out_start + x] = index;
        }
        break;
      case 4:
        for (std::size_t x = 0; x < w; ++x) out[x] = table[(row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F];
        break;
      case 8:
        for (std::size_t x = 0; x < w; ++x) out[x] = table[row[x]];
        break;
      case 16:
        for (std::size_t x = 0; x < w; ++x) {
          const std::uint32_t v = LoadU16(row, 2 * x);
          out[x] = kOpaque | (m.red(v) << 16) | (m.green(v) << 8) | m.blue(v);
        }
        break;
      case 24:
        for (std::size_t x = 0; x < w; ++x) {
          const std::size_t at = 3 * x;
          out[x] = kOpaque | (std::uint32_t{row[at + 2]} << 16) | (std::uint32_t{row[at + 1]} << 8) | row[at];
        }
        break;
      default:  // 32
        for (std::size_t x = 0; x < w; ++x) {
          const std::uint32_t v = LoadU32(row, 4 * x);
          const std::uint32_t a = m.alpha(v);
          alpha_seen |= a;
          out[x] = (a << 24) | (m.red(v) << 16) | (m.green(v) << 8) | m.blue(v);
        }
        break;
    }
  }
  if (h.bit_count == 32) {
    if (alpha_seen != 0) {
      bm.has_alpha = true;
    } else {
      for (auto& p : bm.pixels) p |= kOpaque;
    }
  }
  return bm;
}

// Run-length decoding; stops at the first thing that does not fit.
Bitmap DecodeRle(const Layout& layout, ByteSpan bmi, ByteSpan bits, std::uint32_t usage) {
  const DibHeader& h = layout.header;
  const std::vector<std::uint32_t> table = ReadColorTable(bmi, layout, usage);
  const bool four = h.compression == kBiRle4;
  const auto w = static_cast<std::size_t>(h.width);
  const auto rows = static_cast<std::size_t>(h.height);

  Bitmap bm = MakeBitmap(h, 0);
  std::size_t written = 0;
  std::size_t x = 0, y = 0;  // y counts stored rows
  std::size_t pos = 0;
  const auto put = [&](std::uint32_t index) {
    bm.pixels[OutRow(h, y) * w + x] = table[index];
    ++x;
    ++written;
  };

  while (y < rows && pos + 2 <= bits.size()) {
    const std::size_t count = bits[pos];
    const std::uint8_t value = bits[pos + 1];
    pos += 2;
    if (count > 0) {  // encoded run
      const std::size_t n = std::min(count, w - x);
      for (std::size_t i = 0; i < n; ++i) put(four ? (i % 2 ? value & 0x0F : value >> 4) : value);
      if (n < count) break;
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // delta
      if (pos + 2 > bits.size()) break;
      x += bits[pos];
      y += bits[pos + 1];
      pos += 2;
      if (x > w) break;
    } else {  // absolute run of `value` pixels, padded to 16 bits
      const std::size_t n = value;
      const std::size_t bytes = four ? (n + 1) / 2 : n;
      const std::size_t available = std::min(bytes, bits.size() - pos);
      const std::size_t pixels = std::min({n, w - x, four ? available * 2 : available});
      for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t b = bits[pos + (four ? i / 2 : i)];
        put(four ? (i % 2 ? b & 0x0F : b >> 4) : b);
      }
      if (pixels < n) break;
      pos += bytes + (bytes & 1);
    }
  }
  bm.has_alpha = written < bm.pixels.size();
  return bm;
}

}  // namespace

DibHeader ReadDibHeader(ByteSpan bmi) {
  if (bmi.size() < 4) Fail("no header");
  DibHeader h;
  h.header_size = LoadU32(bmi, 0);
  std::int64_t height = 0;
  if (h.header_size == kCoreHeaderSize) {
    if (bmi.size() < kCoreHeaderSize) Fail("header outside the bytes");
    h.width = LoadU16(bmi, 4);
    height = LoadU16(bmi, 6);
    h.bit_count = LoadU16(bmi, 10);
  } else if (h.header_size >= kBitmapInfoHeaderSize) {
    if (h.header_size > bmi.size()) Fail("header outside the bytes");
    h.width = LoadI32(bmi, 4);
    height = LoadI32(bmi, 8);
    h.bit_count = LoadU16(bmi, 14);
    h.compression = LoadU32(bmi, 16);
    h.colors_used = LoadU32(bmi, 32);
  } else {
    Fail("unknown header size");
  }
  h.top_down = height < 0;
  height = h.top_down ? -height : height;
  if (h.width <= 0 || height <= 0) Fail("empty or negative size");
  h.height = static_cast<std::int32_t>(height);
  if (static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.height) > kMaxDibPixels)
    Fail("picture too large");
  if (!ValidBitCount(h.compression, h.bit_count)) Fail("bit count does not suit the compression");
  return h;
}

DibPicture DecodeDib(ByteSpan bmi, ByteSpan bits, std::uint32_t usage) {
  const Layout layout = ReadLayout(bmi);
  const DibHeader& h = layout.header;
  switch (h.compression) {
    case kBiJpeg:
    case kBiPng: {
      if (bits.empty()) Fail("no picture data");
      return EncodedPicture{h.compression == kBiJpeg ? EncodedPicture::Kind::Jpeg : EncodedPicture::Kind::Png,
                            Bytes(bits.begin(), bits.end()), h.width, h.height};
    }
    case kBiRle8:
    case kBiRle4: return DecodeRle(layout, bmi, bits, usage);
    default: return DecodeUncompressed(layout, bmi, bits, usage);
  }
}

std::uint32_t SystemPaletteColor(std::uint32_t index) noexcept {
  return kOpaque | (index < kSystemPalette.size() ? kSystemPalette[index] : 0);
}

Bytes EncodeDib24(const Bitmap& bitmap) {
  if (bitmap.width <= 0 || bitmap.height <= 0 ||
      bitmap.pixels.size() != static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height))
    throw std::invalid_argument("EncodeDib24: bitmap size does not match its pixels");
  const auto w = static_cast<std::size_t>(bitmap.width);
  const auto rows = static_cast<std::size_t>(bitmap.height);
  const std::size_t stride = (w * 3 + 3) / 4 * 4;
  Bytes out;
  out.reserve(kBitmapInfoHeaderSize);
  AppendU32(out, kBitmapInfoHeaderSize);
  AppendI32(out, bitmap.width);
  AppendI32(out, bitmap.height);  // positive: bottom-up
  AppendU16(out, 1);              // planes
  AppendU16(out, 24);
  AppendU32(out, kBiRgb);
  AppendU32(out, static_cast<std::uint32_t>(stride * rows));
  for (int i = 0; i < 4; ++i) AppendU32(out, 0);  // resolution, colours used and important
  out.resize(kBitmapInfoHeaderSize + stride * rows, 0);
  std::uint8_t* dst = out.data() + kBitmapInfoHeaderSize;
  for (std::size_t r = rows; r-- > 0; dst += stride) {
    const std::uint32_t* row = bitmap.pixels.data() + r * w;
    for (std::size_t x = 0; x < w; ++x) {
      dst[3 * x] = static_cast<std::uint8_t>(row[x]);
      dst[3 * x + 1] = static_cast<std::uint8_t>(row[x] >> 8);
      dst[3 * x + 2] = static_cast<std::uint8_t>(row[x] >> 16);
    }
  }
  return out;
}

}  // namespace pravel::gdi
