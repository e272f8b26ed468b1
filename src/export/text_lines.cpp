#include "export/text_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/font.h"
#include "platform/rounding.h"

namespace pravel {

namespace {

constexpr double kA4Width = 2100, kA4Height = 2970;  // 0.1 mm

long double Middle(const ExportText& t) { return t.Y + t.Height / 2; }

}  // namespace

std::vector<ExportText> PageTexts(const gdi::Metafile& page) {
  const gdi::RectL& frame = page.Header().rclFrame;
  double width = (static_cast<double>(frame.right) - frame.left) / 10;
  double height = (static_cast<double>(frame.bottom) - frame.top) / 10;
  if (!(width > 0 && height > 0)) {
    width = kA4Width;
    height = kA4Height;
  }
  return CollectTexts(page, {0, 0, width, height});
}

std::string JsonEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  for (const char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string TextRunsJson(std::int32_t page, const std::vector<ExportText>& texts) {
  std::string out;
  const std::string head = "{\"page\":" + std::to_string(page);
  for (const ExportText& t : texts) {
    char numbers[160];
    std::snprintf(numbers, sizeof numbers, ",\"x\":%d,\"y\":%d,\"w\":%d,\"h\":%d,\"font\":\"", RoundHalfEven(t.Left),
                  RoundHalfEven(t.Y), RoundHalfEven(t.Width), RoundHalfEven(t.Height));
    const std::uint32_t bgr = ColorToRgb(t.Font.Color);
    const std::uint32_t rgb = (bgr & 0xFFu) << 16 | (bgr & 0xFF00u) | (bgr >> 16 & 0xFFu);
    char style[112];
    std::snprintf(style, sizeof style, "\",\"size\":%d,\"bold\":%s,\"italic\":%s,\"color\":\"#%06X\",\"text\":\"",
                  t.Font.Size, t.Font.Bold() ? "true" : "false", t.Font.Italic() ? "true" : "false", rgb);
    out += head;
    out += numbers;
    out += JsonEscaped(t.Font.Name);
    out += style;
    out += JsonEscaped(t.Text);
    out += "\"}\n";
  }
  return out;
}

std::string ReadingOrderText(std::vector<ExportText> texts) {
  std::stable_sort(texts.begin(), texts.end(),
                   [](const ExportText& a, const ExportText& b) { return Middle(a) < Middle(b); });
  std::string out;
  std::size_t k = 0;
  while (k < texts.size()) {
    // One line: the runs whose middles lie within half a line of the first.
    const long double middle = Middle(texts[k]);
    const long double reach = std::max<long double>(texts[k].Height / 2, 1);
    std::size_t end = k + 1;
    while (end < texts.size() && Middle(texts[end]) - middle <= reach) ++end;
    std::stable_sort(texts.begin() + static_cast<std::ptrdiff_t>(k), texts.begin() + static_cast<std::ptrdiff_t>(end),
                     [](const ExportText& a, const ExportText& b) { return a.Left < b.Left; });
    for (std::size_t j = k; j < end; ++j) {
      if (j > k) out += ' ';
      out += texts[j].Text;
    }
    out += '\n';
    k = end;
  }
  return out;
}

}  // namespace pravel
