#include "platform/gdi/dib.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace pravel::gdi {
namespace {

Bytes InfoHeader(std::int32_t w, std::int32_t h, std::uint16_t bpp, std::uint32_t compression = kBiRgb,
                 std::uint32_t colors_used = 0, std::uint32_t size = 40) {
  Bytes out;
  AppendU32(out, size);
  AppendI32(out, w);
  AppendI32(out, h);
  AppendU16(out, 1);
  AppendU16(out, bpp);
  AppendU32(out, compression);
  for (int i = 0; i < 3; ++i) AppendU32(out, 0);
  AppendU32(out, colors_used);
  AppendU32(out, 0);
  out.resize(size, 0);
  return out;
}

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

// Stored rows of `bpp`-bit values, value(x, y) with y counted from the top.
Bytes Rows(int w, int h, int bpp, bool top_down, const std::function<std::uint32_t(int, int)>& value) {
  const std::size_t stride = (static_cast<std::size_t>(w) * bpp + 31) / 32 * 4;
  Bytes out;
  for (int r = 0; r < h; ++r) {
    const int y = top_down ? r : h - 1 - r;
    Bytes row(stride, 0);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t v = value(x, y);
      if (bpp < 8) {
        const std::size_t bit = static_cast<std::size_t>(x) * bpp;
        row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - bpp - bit % 8));
      } else {
        for (int b = 0; b < bpp / 8; ++b)
          row[static_cast<std::size_t>(x) * (bpp / 8) + b] = static_cast<std::uint8_t>(v >> (8 * b));
      }
    }
    Append(out, row);
  }
  return out;
}

Bitmap DecodeBitmap(const Bytes& bmi, const Bytes& bits, std::uint32_t usage = kDibRgbColors) {
  DibPicture picture = DecodeDib(bmi, bits, usage);
  EXPECT_TRUE(std::holds_alternative<Bitmap>(picture));
  return std::get<Bitmap>(std::move(picture));
}

std::uint32_t At(const Bitmap& bm, int x, int y) {
  return bm.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(bm.width) + static_cast<std::size_t>(x)];
}

// Palette entry i as stored (B, G, R, 0) and as decoded.
std::uint32_t PaletteColor(std::uint32_t i) { return 0xFF000000u | (i * 0x0B0703u + 0x102030u) % 0x1000000u; }
void AppendPalette(Bytes& bmi, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) AppendU32(bmi, PaletteColor(i) & 0xFFFFFF);
}

TEST(DecodeDib, IndexedDepthsInBothRowOrders) {
  constexpr int w = 5, h = 3;  // odd width: partial bytes and row padding
  for (int bpp : {1, 4, 8}) {
    for (bool top_down : {false, true}) {
      SCOPED_TRACE(testing::Message() << bpp << " bits, top-down " << top_down);
      const std::uint32_t colors = 1u << bpp;
      const auto index = [&](int x, int y) { return static_cast<std::uint32_t>(x * 3 + y * 7) % colors; };
      Bytes bmi = InfoHeader(w, top_down ? -h : h, static_cast<std::uint16_t>(bpp));
      AppendPalette(bmi, colors);
      const Bitmap bm = DecodeBitmap(bmi, Rows(w, h, bpp, top_down, index));
      ASSERT_EQ(bm.width, w);
      ASSERT_EQ(bm.height, h);
      EXPECT_FALSE(bm.has_alpha);
      EXPECT_EQ(bm.mono_indices.size(), bpp == 1 ? std::size_t{w * h} : 0u);
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
          EXPECT_EQ(At(bm, x, y), PaletteColor(index(x, y))) << x << "," << y;
          if (bpp == 1) {
            EXPECT_EQ(bm.mono_indices[static_cast<std::size_t>(y * w + x)], index(x, y));
          }
        }
      }
    }
  }
}

TEST(DecodeDib, DirectColourDepthsInBothRowOrders) {
  constexpr int w = 3, h = 2;
  const auto rgb = [](int x, int y) {
    return static_cast<std::uint32_t>(0x10 * (x + 1)) << 16 | 0x4000u * static_cast<std::uint32_t>(y + 1) | 0x08u;
  };
  for (bool top_down : {false, true}) {
    SCOPED_TRACE(top_down);
    const std::int32_t height = top_down ? -h : h;
    const Bitmap b24 = DecodeBitmap(InfoHeader(w, height, 24), Rows(w, h, 24, top_down, rgb));
    const Bitmap b32 = DecodeBitmap(InfoHeader(w, height, 32), Rows(w, h, 32, top_down, rgb));
    // 5-5-5: each channel v becomes (v << 3) | (v >> 2).
    const auto rgb555 = [](int x, int y) {
      return static_cast<std::uint32_t>(x + 1) << 10 | static_cast<std::uint32_t>(y * 31) << 5 | 0x1Fu;
    };
    const Bitmap b16 = DecodeBitmap(InfoHeader(w, height, 16), Rows(w, h, 16, top_down, rgb555));
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        EXPECT_EQ(At(b24, x, y), 0xFF000000u | rgb(x, y));
        EXPECT_EQ(At(b32, x, y), 0xFF000000u | rgb(x, y));  // alpha bytes all 0: opaque
        const std::uint32_t r5 = static_cast<std::uint32_t>(x + 1);
        const std::uint32_t expected = 0xFF000000u | ((r5 << 3 | r5 >> 2) << 16) | (y == 0 ? 0u : 0xFFu << 8) | 0xFFu;
        EXPECT_EQ(At(b16, x, y), expected);
      }
    }
    EXPECT_FALSE(b32.has_alpha);
  }
  // Any non-zero alpha byte: alpha is kept as stored.
  const Bytes bits = Rows(2, 1, 32, true, [](int x, int) { return x == 0 ? 0x00112233u : 0x80445566u; });
  const Bitmap alpha = DecodeBitmap(InfoHeader(2, -1, 32), bits);
  EXPECT_TRUE(alpha.has_alpha);
  EXPECT_EQ(alpha.pixels, (std::vector<std::uint32_t>{0x00112233u, 0x80445566u}));
}

TEST(DecodeDib, ColourTables) {
  // biClrUsed 2 for an 8-bit picture: indices past the table are black.
  Bytes bmi = InfoHeader(3, 1, 8, kBiRgb, 2);
  AppendPalette(bmi, 2);
  Bitmap bm = DecodeBitmap(bmi, {0, 1, 200, 0});
  EXPECT_EQ(bm.pixels, (std::vector<std::uint32_t>{PaletteColor(0), PaletteColor(1), 0xFF000000u}));
  // biClrUsed 0 with a table cut short by the record: the entries present count.
  bmi = InfoHeader(3, 1, 8);
  AppendPalette(bmi, 2);
  bm = DecodeBitmap(bmi, {0, 1, 200, 0});
  EXPECT_EQ(bm.pixels, (std::vector<std::uint32_t>{PaletteColor(0), PaletteColor(1), 0xFF000000u}));

  // Core header: 16-bit sizes, RGB triples.
  Bytes core;
  AppendU32(core, 12);
  AppendU16(core, 2);
  AppendU16(core, 1);
  AppendU16(core, 1);
  AppendU16(core, 1);
  Append(core, {0x30, 0x20, 0x10, 0xCC, 0xBB, 0xAA});
  bm = DecodeBitmap(core, {0x40, 0, 0, 0});
  EXPECT_EQ(bm.pixels, (std::vector<std::uint32_t>{0xFF102030u, 0xFFAABBCCu}));

  // Palette indices into the default system palette; past its 20 entries, black.
  bmi = InfoHeader(4, 1, 4, kBiRgb, 4);
  for (std::uint16_t i : {0, 13, 19, 20}) AppendU16(bmi, i);
  bm = DecodeBitmap(bmi, {0x01, 0x23, 0, 0}, kDibPalColors);
  EXPECT_EQ(bm.pixels, (std::vector<std::uint32_t>{0xFF000000u, 0xFFFF0000u, 0xFFFFFFFFu, 0xFF000000u}));
}

TEST(DecodeDib, BitFields) {
  // 5-6-5 with the masks after a 40-byte header.
  Bytes bmi = InfoHeader(2, 1, 16, kBiBitfields);
  for (std::uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) AppendU32(bmi, m);
  Bitmap bm = DecodeBitmap(bmi, {0x00, 0xF8, 0x20, 0x00});
  EXPECT_EQ(bm.pixels, (std::vector<std::uint32_t>{0xFFFF0000u, 0xFF000400u}));

  // V4 header with the masks inside, red in the lowest byte, no alpha mask.
  bmi = InfoHeader(1, 1, 32, kBiBitfields, 0, 108);
  StoreU32(bmi, 40, 0x000000FF);
  StoreU32(bmi, 44, 0x0000FF00);
  StoreU32(bmi, 48, 0x00FF0000);
  bm = DecodeBitmap(bmi, {0x11, 0x22, 0x33, 0x44});
  EXPECT_EQ(bm.pixels, (std::vector<std::uint32_t>{0xFF112233u}));
  EXPECT_FALSE(bm.has_alpha);

  // V5 header with an alpha mask.
  bmi = InfoHeader(1, 1, 32, kBiBitfields, 0, 124);
  StoreU32(bmi, 40, 0x00FF0000);
  StoreU32(bmi, 44, 0x0000FF00);
  StoreU32(bmi, 48, 0x000000FF);
  StoreU32(bmi, 52, 0xFF000000u);
  bm = DecodeBitmap(bmi, {0x11, 0x22, 0x33, 0x44});
  EXPECT_EQ(bm.pixels, (std::vector<std::uint32_t>{0x44332211u}));
  EXPECT_TRUE(bm.has_alpha);
}

// An 8-bit palette where index i is grey level i.
Bytes GreyPalette(std::int32_t w, std::int32_t h, std::uint16_t bpp, std::uint32_t compression) {
  Bytes bmi = InfoHeader(w, h, bpp, compression);
  for (std::uint32_t i = 0; i < (1u << bpp); ++i) AppendU32(bmi, i * 0x010101u);
  return bmi;
}
constexpr std::uint32_t Grey(std::uint32_t i) { return 0xFF000000u | i * 0x010101u; }

TEST(DecodeDib, Rle8WithEscapes) {
  const Bytes bmi = GreyPalette(6, 3, 8, kBiRle8);
  const Bytes bits = {
      3, 7,              // bottom row: 7 7 7
      0, 3, 1, 2, 3, 0,  // absolute run of 3, padded to 16 bits
      0, 0,              // end of line
      0, 2, 2, 1,        // delta: right 2, up 1 (to the top row)
      2, 9,              // 9 9 at x 2..3
      0, 1,              // end of bitmap
  };
  const Bitmap bm = DecodeBitmap(bmi, bits);
  EXPECT_TRUE(bm.has_alpha);  // the middle row and parts of the top were skipped
  const std::vector<std::uint32_t> bottom = {Grey(7), Grey(7), Grey(7), Grey(1), Grey(2), Grey(3)};
  EXPECT_EQ(std::vector<std::uint32_t>(bm.pixels.begin() + 12, bm.pixels.end()), bottom);
  for (int x = 0; x < 6; ++x) EXPECT_EQ(At(bm, x, 1), 0u);
  EXPECT_EQ(std::vector<std::uint32_t>(bm.pixels.begin(), bm.pixels.begin() + 6),
            (std::vector<std::uint32_t>{0, 0, Grey(9), Grey(9), 0, 0}));
}

TEST(DecodeDib, Rle4WithEscapes) {
  const Bytes bmi = GreyPalette(5, 2, 4, kBiRle4);
  const Bytes bits = {
      5, 0x12,                       // 1 2 1 2 1
      0, 0,                          // end of line
      0, 5,    0x34, 0x56, 0x70, 0,  // absolute: 3 4 5 6 7, 3 bytes padded to 4
      0, 1,
  };
  const Bitmap bm = DecodeBitmap(bmi, bits);
  EXPECT_FALSE(bm.has_alpha);
  EXPECT_EQ(bm.pixels, (std::vector<std::uint32_t>{Grey(3), Grey(4), Grey(5), Grey(6), Grey(7), Grey(1), Grey(2),
                                                   Grey(1), Grey(2), Grey(1)}));
}

TEST(DecodeDib, BadRleRunsKeepWhatWasDecoded) {
  const Bytes bmi = GreyPalette(4, 2, 8, kBiRle8);
  const auto decode = [&](const Bytes& bits) { return DecodeBitmap(bmi, bits); };
  // A run past the row end: the part inside the row stays, nothing after it.
  Bitmap bm = decode({2, 5, 3, 6, 0, 0, 4, 9});
  EXPECT_EQ(std::vector<std::uint32_t>(bm.pixels.begin() + 4, bm.pixels.end()),
            (std::vector<std::uint32_t>{Grey(5), Grey(5), Grey(6), Grey(6)}));
  EXPECT_EQ(At(bm, 0, 0), 0u);
  // Absolute run cut short by the end of the data; a delta out of the picture.
  bm = decode({0, 4, 1, 2});
  EXPECT_EQ(At(bm, 1, 1), Grey(2));
  EXPECT_EQ(At(bm, 2, 1), 0u);
  bm = decode({1, 1, 0, 2, 9, 0, 1, 2});
  EXPECT_EQ(At(bm, 0, 1), Grey(1));
  EXPECT_EQ(At(bm, 1, 1), 0u);
  // Data that just ends (no end-of-bitmap), and more lines than the picture has.
  bm = decode({4, 1, 0, 0, 4, 2, 0, 0, 4, 3});
  EXPECT_FALSE(bm.has_alpha);
  EXPECT_EQ(At(bm, 0, 0), Grey(2));
  bm = decode({});
  EXPECT_TRUE(bm.has_alpha);
}

TEST(DecodeDib, JpegAndPngPassThrough) {
  const Bytes data = {0xFF, 0xD8, 0xFF, 0xD9};
  const DibPicture p = DecodeDib(InfoHeader(30, -20, 0, kBiJpeg), data);
  ASSERT_TRUE(std::holds_alternative<EncodedPicture>(p));
  const auto& jpeg = std::get<EncodedPicture>(p);
  EXPECT_EQ(jpeg.kind, EncodedPicture::Kind::Jpeg);
  EXPECT_EQ(jpeg.data, data);
  EXPECT_EQ(jpeg.width, 30);
  EXPECT_EQ(jpeg.height, 20);
}

TEST(DecodeDib, RejectsMalformedInput) {
  const auto rejects = [](const Bytes& bmi, const Bytes& bits, std::uint32_t usage = kDibRgbColors) {
    EXPECT_THROW(DecodeDib(bmi, bits, usage), EMetafileError);
  };
  const Bytes pixels(64, 0);
  rejects({}, pixels);
  rejects(InfoHeader(1, 1, 24, kBiRgb, 0, 20), pixels);  // unknown header size
  Bytes header = InfoHeader(1, 1, 24);
  header.resize(39);
  rejects(header, pixels);  // header cut short
  rejects(InfoHeader(0, 1, 24), pixels);
  rejects(InfoHeader(1, std::numeric_limits<std::int32_t>::min(), 24), pixels);
  rejects(InfoHeader(1 << 15, 1 << 14, 1), Bytes(1 << 20, 0));  // over 2^28 pixels
  rejects(InfoHeader(1, 1, 24, kBiRle8), pixels);
  rejects(InfoHeader(1, 1, 16, kBiBitfields), pixels);  // masks missing
  rejects(InfoHeader(1, 1, 16, kBiBitfields, 0, 44), pixels);
  rejects(InfoHeader(4, 4, 24), Bytes(47, 0));  // pixels short
  rejects(InfoHeader(4, 4, 8), pixels);         // no colour table
  Bytes bmi = InfoHeader(4, 4, 8, kBiRgb, 4);
  AppendPalette(bmi, 3);
  rejects(bmi, pixels);  // table one short
  AppendPalette(bmi, 1);
  EXPECT_NO_THROW(DecodeDib(bmi, Bytes(16, 0)));
  rejects(bmi, pixels, 2);  // unknown usage
  rejects(GreyPalette(4, 4, 8, kBiRle8), {}, 7);
  rejects(InfoHeader(4, 4, 0, kBiJpeg), {});  // no data
}

TEST(EncodeDib24, RoundTripsThroughTheDecoder) {
  Bitmap bm;
  bm.width = 3;  // 9 bytes a row, padded to 12
  bm.height = 2;
  bm.pixels = {0xFF010203u, 0xFF040506u, 0xFF070809u, 0x800A0B0Cu, 0xFF0D0E0Fu, 0xFF101112u};
  const Bytes dib = EncodeDib24(bm);
  ASSERT_EQ(dib.size(), kBitmapInfoHeaderSize + 24);
  EXPECT_EQ(LoadU32(dib, 0), 40u);
  EXPECT_EQ(LoadI32(dib, 8), 2);  // bottom-up
  EXPECT_EQ(LoadU16(dib, 14), 24);
  EXPECT_EQ(LoadU32(dib, 20), 24u);
  // First stored row is the bottom one, blue first.
  EXPECT_EQ(dib[40], 0x0C);
  EXPECT_EQ(dib[41], 0x0B);
  EXPECT_EQ(dib[42], 0x0A);

  const Bitmap back = DecodeBitmap(Bytes(dib.begin(), dib.begin() + 40), Bytes(dib.begin() + 40, dib.end()));
  bm.pixels[3] |= 0xFF000000u;  // alpha is not stored
  EXPECT_EQ(back.pixels, bm.pixels);

  bm.pixels.pop_back();
  EXPECT_THROW(EncodeDib24(bm), std::invalid_argument);
}

}  // namespace
}  // namespace pravel::gdi
