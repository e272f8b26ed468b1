#pragma once
// Report pages with texts at known places, recorded as a report generator
// records them, and a filter that logs the calls it receives.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "export/export_filter.h"
#include "export/utf8.h"
#include "platform/gdi/emf_recorder.h"
#include "report/qr_printer_test_util.h"

namespace pravel::test {

// A Letter page at 96 pixels per inch: 2159 x 2794 tenths of a millimetre.
inline constexpr int kLetterWidth = 816, kLetterHeight = 1056;
// Tenths of a millimetre per reference pixel.
inline constexpr long double kTenthsPerPixel = 254.0L / 96;

using Canvas = gdi::EmfRecorder;

// Selects a new font of the face and height (negative: em, positive: cell).
inline void UseFont(Canvas& c, std::u16string face, int height, std::uint8_t charset = 1, int weight = 400) {
  gdi::LogFontW f;
  f.face = std::move(face);
  f.height = height;
  f.charset = charset;
  f.weight = weight;
  c.SelectObject(c.CreateFont(f));
}

// `text` at (x, y) placed by `align`, 7 units per character.
inline void Text(Canvas& c, int x, int y, std::string_view text, std::uint32_t align = 0, std::uint32_t options = 0) {
  c.SetTextAlign(align);
  const std::vector<std::int32_t> dx(CharCount(text), 7);
  c.ExtTextOut({x, y}, text, dx, options);
}

// Two pages of a small table in 8-point Arial:
//   page 1:  Item (left, x 48)   Qty (right, x 384)   Note (centred, x 576)
//            Zażółć (Windows-1250 bytes)   12   a red 14-point text with markup
//   page 2:  Total   12
inline std::vector<gdi::Metafile> TablePages() {
  std::vector<gdi::Metafile> pages;
  Canvas one(kLetterWidth, kLetterHeight);
  UseFont(one, u"Arial", -11);
  Text(one, 48, 48, "Item");
  Text(one, 384, 48, "Qty", Canvas::kTaRight);
  Text(one, 576, 48, "Note", Canvas::kTaCenter);
  UseFont(one, u"Arial CE", -11, 238);
  one.SetTextAlign(0);
  const Bytes cp1250{'Z', 'a', 0xBF, 0xF3, 0xB3, 0xE6};
  one.ExtTextOutA({48, 72}, cp1250, std::vector<std::int32_t>(cp1250.size(), 7));
  UseFont(one, u"Arial", -11);
  Text(one, 384, 72, "12", Canvas::kTaRight);
  UseFont(one, u"Arial", -19);
  one.SetTextColor(0x0000FF);
  Text(one, 576, 72, "say \"hi\", <b> & co", Canvas::kTaCenter);
  pages.push_back(one.Finish());

  Canvas two(kLetterWidth, kLetterHeight);
  UseFont(two, u"Arial", -11);
  Text(two, 48, 48, "Total");
  Text(two, 384, 48, "12", Canvas::kTaRight);
  pages.push_back(two.Finish());
  return pages;
}

inline void WriteTableReport(const std::filesystem::path& path) { WriteReport(path, TablePages()); }

}  // namespace pravel::test
