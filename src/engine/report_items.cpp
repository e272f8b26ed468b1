#include "engine/report_items.h"

#include <algorithm>
#include <numeric>

namespace pravel {

namespace {

constexpr long double kTenthMmPerScreenPixel = 254.0L / 96.0L;

long double Width(const std::vector<long double>& advances, std::size_t from, std::size_t to) {
  return std::accumulate(advances.begin() + static_cast<std::ptrdiff_t>(from),
                         advances.begin() + static_cast<std::ptrdiff_t>(to), 0.0L);
}

// Greedy wrapping of one paragraph without line breaks.
void WrapParagraph(std::string_view paragraph, const Font& font, long double width, const TextMeasure& measure,
                   std::vector<std::string>& lines) {
  const std::vector<std::string_view> points = CodePoints(paragraph);
  std::vector<long double> advances = measure.Advances(font, paragraph);
  advances.resize(points.size(), 0.0L);
  const auto text = [&](std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t i = from; i < to; ++i) out += points[i];
    return out;
  };
  const auto blank = [&](std::size_t i) { return points[i] == " "; };

  std::size_t start = 0;
  while (true) {
    if (Width(advances, start, points.size()) <= width) {
      lines.push_back(text(start, points.size()));
      return;
    }
    // The last blank before the line overflows.
    std::size_t end = start;
    std::size_t last_blank = points.size();
    long double used = 0;
    while (end < points.size() && used + advances[end] <= width) {
      if (blank(end) && end > start) last_blank = end;
      used += advances[end];
      ++end;
    }
    if (end < points.size() && blank(end)) last_blank = end;
    std::size_t next = 0;
    if (last_blank < points.size()) {
      end = last_blank;
      next = last_blank;
      while (next < points.size() && blank(next)) ++next;
    } else {
      end = std::max(end, start + 1);  // at least one character a line
      next = end;
    }
    lines.push_back(text(start, end));
    start = next;
    if (start >= points.size()) return;
  }
}

}  // namespace

long double TQRPage::PaperWidth() const noexcept {
  return Orientation == TPrinterOrientation::poLandscape ? Length : Width;
}

long double TQRPage::PaperLength() const noexcept {
  return Orientation == TPrinterOrientation::poLandscape ? Width : Length;
}

std::vector<std::string> WrapText(const std::string& text, const Font& font, long double width, bool word_wrap,
                                  const TextMeasure& measure) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (true) {
    std::size_t end = text.find('\n', from);
    const bool last = end == std::string::npos;
    if (last) end = text.size();
    std::string_view paragraph(text.data() + from, end - from);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
    if (word_wrap && !paragraph.empty()) {
      WrapParagraph(paragraph, font, width, measure, lines);
    } else {
      lines.emplace_back(paragraph);
    }
    if (last) return lines;
    from = end + 1;
  }
}

std::vector<TQRPrintedLine> LabelLines(const TQRLabel& label, const TQRPage& page, const TextMeasure& measure) {
  long double left = label.Left;
  long double right = label.Left + label.Width;
  if (label.AlignToBand) {
    left = page.LeftMargin;
    right = page.PaperWidth() - page.RightMargin;
  }
  long double x = left;
  if (label.Alignment == TQRAlignment::RightJustify) x = right;
  if (label.Alignment == TQRAlignment::Center) x = (left + right) / 2;

  const long double line_height = measure.LineHeight(label.Font);
  std::vector<TQRPrintedLine> printed;
  const std::vector<std::string> lines = WrapText(label.Caption, label.Font, label.Width, label.WordWrap, measure);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const long double offset = line_height * static_cast<long double>(i);
    if (i > 0 && offset >= label.Height) break;
    printed.push_back({x, label.Top + offset, lines[i]});
  }
  return printed;
}

TQRRect PictureRect(const TQRImage& image) {
  long double width = image.Picture.width * kTenthMmPerScreenPixel;
  long double height = image.Picture.height * kTenthMmPerScreenPixel;
  if (width > image.Width || height > image.Height) {
    const long double scale = std::min(image.Width / width, image.Height / height);
    width *= scale;
    height *= scale;
  }
  return {image.Left + (image.Width - width) / 2, image.Top + (image.Height - height) / 2, width, height};
}

}  // namespace pravel
