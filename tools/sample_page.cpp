#include "sample_page.h"

#include <string>
#include <vector>

#include "platform/gdi/emf_types.h"

namespace pravel::tools {

namespace {

using gdi::Emr;

// Reference device: a 96-dpi screen of 1920 x 1080 pixels, 508 x 286 mm.
constexpr int kDeviceWidth = 1920;
constexpr int kDeviceHeight = 1080;
constexpr int kDeviceMmWidth = 508;
constexpr int kDeviceMmHeight = 286;
// A4 in 0.01 mm and in reference pixels.
constexpr int kFrameWidth = 21000;
constexpr int kFrameHeight = 29700;
constexpr int kPageWidth = kFrameWidth * kDeviceWidth / (kDeviceMmWidth * 100);
constexpr int kPageHeight = kFrameHeight * kDeviceHeight / (kDeviceMmHeight * 100);

// Widths in 1/1000 em of a Helvetica-like face.
std::int32_t AdvanceIn1000(char c) {
  switch (c) {
    case ' ':
    case 'f':
    case 't':
    case 'I': return 278;
    case 'i':
    case 'j':
    case 'l': return 222;
    case 'r':
    case '-': return 333;
    case 'm': return 833;
    case 'w': return 722;
    default: return c >= 'A' && c <= 'Z' ? 667 : 556;
  }
}

class EmfWriter {
 public:
  EmfWriter() {
    // The header record; sizes and counts are filled in by Finish.
    Begin(Emr::Header);
    for (int v : {0, 0, kPageWidth - 1, kPageHeight - 1}) AppendI32(bytes_, v);
    for (int v : {0, 0, kFrameWidth - 1, kFrameHeight - 1}) AppendI32(bytes_, v);
    AppendU32(bytes_, gdi::kEmfSignature);
    AppendU32(bytes_, 0x10000);
    AppendU32(bytes_, 0);  // nBytes
    AppendU32(bytes_, 0);  // nRecords
    AppendU16(bytes_, 4);  // nHandles: the table slot 0 and three objects
    AppendU16(bytes_, 0);
    for (int i = 0; i < 3; ++i) AppendU32(bytes_, 0);  // description, palette
    for (int v : {kDeviceWidth, kDeviceHeight, kDeviceMmWidth, kDeviceMmHeight}) AppendI32(bytes_, v);
    End();
  }

  void Record(Emr type, std::initializer_list<std::int32_t> fields) {
    Begin(type);
    for (const std::int32_t v : fields) AppendI32(bytes_, v);
    End();
  }

  void Font(std::uint32_t handle, std::int32_t height, const std::u16string& face) {
    Begin(Emr::ExtCreateFontIndirectW);
    AppendU32(bytes_, handle);
    for (int v : {-height, 0, 0, 0, 400}) AppendI32(bytes_, v);  // LOGFONTW up to lfWeight
    for (int i = 0; i < 8; ++i) AppendU8(bytes_, 0);             // italic .. pitch and family
    for (std::size_t i = 0; i < 32; ++i) AppendU16(bytes_, i < face.size() ? face[i] : 0);
    End();
  }

  // ASCII text with advances for a sans-serif face of `em` pixels.
  void Text(std::int32_t x, std::int32_t y, const std::string& text, std::int32_t em) {
    const auto count = static_cast<std::int32_t>(text.size());
    const std::int32_t string_offset = 76;
    const std::int32_t string_bytes = (count * 2 + 3) / 4 * 4;
    std::vector<std::int32_t> advances;
    for (const char c : text) advances.push_back((AdvanceIn1000(c) * em + 500) / 1000);
    std::int32_t width = 0;
    for (const std::int32_t a : advances) width += a;
    Begin(Emr::ExtTextOutW);
    for (int v : {x, y, x + width, y + em}) AppendI32(bytes_, v);  // rclBounds
    AppendU32(bytes_, 1);                                          // GM_COMPATIBLE
    AppendF32(bytes_, 1.0F);
    AppendF32(bytes_, 1.0F);
    for (int v : {x, y, count, string_offset, 0, 0, 0, -1, -1, string_offset + string_bytes})
      AppendI32(bytes_, v);  // reference point, count, offsets, options, no clip rectangle
    for (const char c : text) AppendU16(bytes_, static_cast<std::uint8_t>(c));
    if (count % 2 != 0) AppendU16(bytes_, 0);
    for (const std::int32_t a : advances) AppendI32(bytes_, a);
    End();
  }

  Bytes Finish() {
    Record(Emr::Eof, {0, 16, 20});
    StoreU32(bytes_, 48, static_cast<std::uint32_t>(bytes_.size()));
    StoreU32(bytes_, 52, records_);
    return std::move(bytes_);
  }

 private:
  void Begin(Emr type) {
    start_ = bytes_.size();
    AppendU32(bytes_, static_cast<std::uint32_t>(type));
    AppendU32(bytes_, 0);
  }
  void End() {
    StoreU32(bytes_, start_ + 4, static_cast<std::uint32_t>(bytes_.size() - start_));
    ++records_;
  }

  Bytes bytes_;
  std::size_t start_ = 0;
  std::uint32_t records_ = 0;
};

}  // namespace

Bytes SamplePageEmf(int page, int page_count) {
  constexpr std::int32_t kMargin = 60;
  constexpr std::int32_t kRight = kPageWidth - kMargin;
  constexpr std::int32_t kBottom = kPageHeight - kMargin;
  EmfWriter emf;
  emf.Record(Emr::SetBkMode, {1});  // transparent
  emf.Record(Emr::CreatePen, {1, 0, 2, 0, 0x00404040});
  emf.Record(Emr::SelectObject, {1});
  emf.Record(Emr::CreateBrushIndirect, {2, 0, 0x00F0E0D0, 0});
  emf.Record(Emr::SelectObject, {2});
  emf.Record(Emr::Rectangle, {kMargin, kMargin, kRight, kMargin + 70});    // header band
  emf.Record(Emr::SelectObject, {static_cast<std::int32_t>(0x80000005)});  // NULL_BRUSH
  emf.Record(Emr::Rectangle, {kMargin, kMargin, kRight, kBottom});         // page frame
  for (std::int32_t y = kMargin + 130; y < kBottom - 40; y += 40) {
    emf.Record(Emr::MoveToEx, {kMargin + 20, y});
    emf.Record(Emr::LineTo, {kRight - 20, y});
  }
  emf.Font(3, 24, u"Liberation Sans");
  emf.Record(Emr::SelectObject, {3});
  emf.Record(Emr::SetTextColor, {0x00000000});
  emf.Text(kMargin + 20, kMargin + 22,
           "Pravel sample report - page " + std::to_string(page) + " of " + std::to_string(page_count), 24);
  emf.Record(Emr::SelectObject, {static_cast<std::int32_t>(0x80000000)});  // WHITE_BRUSH
  emf.Record(Emr::DeleteObject, {2});
  return emf.Finish();
}

}  // namespace pravel::tools
