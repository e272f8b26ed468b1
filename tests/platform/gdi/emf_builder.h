#pragma once
// Builds small metafiles byte by byte for the player tests.

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/bytes.h"
#include "platform/gdi/emf_types.h"
#include "platform/gdi/metafile.h"

namespace pravel::gdi::test {

// A reference device of 1000 x 1000 pixels on 100 x 100 mm and a frame of
// the same size: played into (0, 0, 1000, 1000) one logical MM_TEXT unit is
// one target pixel.
class EmfBuilder {
 public:
  explicit EmfBuilder(RectL frame = {0, 0, 10000, 10000}) : frame_(frame) {}
  EmfBuilder& Handles(std::uint16_t handles) {
    handles_ = handles;
    return *this;
  }

  // A record of 32-bit fields.
  EmfBuilder& Add(Emr type, std::initializer_list<std::int32_t> fields) {
    Bytes body;
    for (auto v : fields) AppendI32(body, v);
    return AddRaw(type, body);
  }
  EmfBuilder& AddRaw(Emr type, const Bytes& body) {
    AppendU32(records_, static_cast<std::uint32_t>(type));
    AppendU32(records_, static_cast<std::uint32_t>(8 + body.size()));
    records_.insert(records_.end(), body.begin(), body.end());
    ++count_;
    return *this;
  }

  Bytes Build() const {
    Bytes out;
    AppendU32(out, 1);
    AppendU32(out, 88);
    for (int v : {0, 0, 999, 999}) AppendI32(out, v);
    for (int v : {frame_.left, frame_.top, frame_.right, frame_.bottom}) AppendI32(out, v);
    AppendU32(out, kEmfSignature);
    AppendU32(out, 0x10000);
    AppendU32(out, 0);  // nBytes, patched below
    AppendU32(out, static_cast<std::uint32_t>(count_ + 2));
    AppendU16(out, handles_);
    AppendU16(out, 0);
    for (int i = 0; i < 3; ++i) AppendU32(out, 0);
    for (int v : {1000, 1000, 100, 100}) AppendI32(out, v);
    out.insert(out.end(), records_.begin(), records_.end());
    for (std::uint32_t v : {14u, 20u, 0u, 16u, 20u}) AppendU32(out, v);
    StoreU32(out, 48, static_cast<std::uint32_t>(out.size()));
    return out;
  }
  Metafile Make() const { return Metafile::FromBytes(Build()); }

 private:
  RectL frame_;
  Bytes records_;
  std::size_t count_ = 0;
  std::uint16_t handles_ = 16;
};

// EXTCREATEFONTINDIRECTW body.
inline Bytes FontBody(std::int32_t index, std::int32_t height, const std::u16string& face, std::uint8_t charset = 0,
                      std::int32_t escapement = 0) {
  Bytes b;
  for (std::int32_t v : {index, height, 0, escapement, escapement, 400}) AppendI32(b, v);
  for (std::uint8_t v : {0, 0, 0}) AppendU8(b, v);
  AppendU8(b, charset);
  for (int i = 0; i < 4; ++i) AppendU8(b, 0);
  for (std::size_t i = 0; i < 32; ++i) AppendU16(b, i < face.size() ? face[i] : 0);
  return b;
}

// EXTTEXTOUTW or EXTTEXTOUTA body: one string with its advances.
inline Bytes TextBody(std::int32_t x, std::int32_t y, const std::u16string& text, const std::vector<std::int32_t>& dx,
                      bool wide = true, std::uint32_t options = 0, RectL rect = {}) {
  const std::size_t chars = text.size();
  const std::size_t string_bytes = ((wide ? 2 * chars : chars) + 3) / 4 * 4;
  const std::uint32_t off_string = 8 + 16 + 12 + 40;
  Bytes b;
  for (int i = 0; i < 4; ++i) AppendI32(b, 0);  // rclBounds
  AppendU32(b, 1);                              // GM_COMPATIBLE
  AppendF32(b, 1);
  AppendF32(b, 1);
  AppendI32(b, x);
  AppendI32(b, y);
  AppendU32(b, static_cast<std::uint32_t>(chars));
  AppendU32(b, off_string);
  AppendU32(b, options);
  for (int v : {rect.left, rect.top, rect.right, rect.bottom}) AppendI32(b, v);
  AppendU32(b, dx.empty() ? 0 : static_cast<std::uint32_t>(off_string + string_bytes));
  Bytes s;
  for (char16_t c : text) {
    if (wide)
      AppendU16(s, c);
    else
      AppendU8(s, static_cast<std::uint8_t>(c));
  }
  s.resize(string_bytes, 0);
  b.insert(b.end(), s.begin(), s.end());
  for (auto d : dx) AppendI32(b, d);
  return b;
}

// A bottom-up (or top-down) DIB: BITMAPINFOHEADER, colour table, bits.
struct Dib {
  Bytes bmi, bits;
};
inline Dib MakeDib(std::int32_t width, std::int32_t height, std::uint16_t bpp,
                   const std::vector<std::uint32_t>& palette, const Bytes& bits) {
  Dib d;
  for (std::int32_t v : {40, width, height}) AppendI32(d.bmi, v);
  AppendU16(d.bmi, 1);
  AppendU16(d.bmi, bpp);
  for (std::uint32_t v :
       {0u, static_cast<std::uint32_t>(bits.size()), 0u, 0u, static_cast<std::uint32_t>(palette.size()), 0u})
    AppendU32(d.bmi, v);
  for (auto c : palette) AppendU32(d.bmi, c);
  d.bits = bits;
  return d;
}

// STRETCHDIBITS body drawing the whole DIB into (x, y, cx, cy) with SRCCOPY.
inline Bytes StretchDibBody(const Dib& dib, std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy,
                            std::int32_t w, std::int32_t h) {
  const std::uint32_t off_bmi = 8 + 72;
  const auto off_bits = static_cast<std::uint32_t>(off_bmi + dib.bmi.size());
  Bytes b;
  for (int i = 0; i < 4; ++i) AppendI32(b, 0);
  for (std::int32_t v : {x, y, 0, 0, w, h}) AppendI32(b, v);
  for (std::uint32_t v : {off_bmi, static_cast<std::uint32_t>(dib.bmi.size()), off_bits,
                          static_cast<std::uint32_t>(dib.bits.size()), 0u, 0xCC0020u})
    AppendU32(b, v);
  AppendI32(b, cx);
  AppendI32(b, cy);
  b.insert(b.end(), dib.bmi.begin(), dib.bmi.end());
  b.insert(b.end(), dib.bits.begin(), dib.bits.end());
  return b;
}

// RGNDATA of rectangles, with the leading size field of region records.
inline Bytes RegionData(const std::vector<RectL>& rects) {
  Bytes b;
  for (std::uint32_t v :
       {32u, 1u, static_cast<std::uint32_t>(rects.size()), static_cast<std::uint32_t>(16 * rects.size())})
    AppendU32(b, v);
  for (int i = 0; i < 4; ++i) AppendI32(b, 0);
  for (const auto& r : rects)
    for (int v : {r.left, r.top, r.right, r.bottom}) AppendI32(b, v);
  return b;
}

}  // namespace pravel::gdi::test
