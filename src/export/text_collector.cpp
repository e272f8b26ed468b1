#include "export/text_collector.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "export/face_metrics.h"
#include "platform/gdi/player.h"
#include "platform/rounding.h"

namespace pravel {

namespace {

// Tenths of a millimetre per point.
constexpr double kTenthsPerPoint = 254.0 / 72.0;
constexpr int kBoldWeight = 600;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t k = 0; k < text.size(); ++k) {
    const char32_t c = text[k];
    const bool high = c >= 0xD800 && c <= 0xDBFF;
    const bool low = c >= 0xDC00 && c <= 0xDFFF;
    if (high && k + 1 < text.size() && text[k + 1] >= 0xDC00 && text[k + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (text[k + 1] - 0xDC00));
      ++k;
    } else if (high || low) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, c);
    }
  }
  return out;
}

constexpr ColorValue ColorOfRgb(gdi::Rgb rgb) noexcept {
  return static_cast<ColorValue>(((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu));
}

TextAlignment AlignmentOf(std::uint32_t align) noexcept {
  switch (align & gdi::kTaCenter) {
    case gdi::kTaCenter: return TextAlignment::Center;
    case gdi::kTaRight: return TextAlignment::RightJustify;
    default: return TextAlignment::LeftJustify;
  }
}

// The anchor on the reference line. The player has already placed the
// glyph origins by the horizontal alignment; without them the reference
// point is the anchor itself.
gdi::PointD AnchorOf(const gdi::TextRun& run, TextAlignment alignment) noexcept {
  if (run.origins.empty()) return run.reference;
  const gdi::PointD first = run.origins.front(), end = run.origins.back();
  switch (alignment) {
    case TextAlignment::RightJustify: return end;
    case TextAlignment::Center: return {(first.x + end.x) / 2, (first.y + end.y) / 2};
    case TextAlignment::LeftJustify: break;
  }
  return first;
}

}  // namespace

ExportText TextOfRun(const gdi::TextRun& run) {
  ExportText t;
  t.Text = ToUtf8(run.text);
  t.Alignment = AlignmentOf(run.align);
  t.BackgroundColor = run.opaque ? ColorOfRgb(run.background) : kColorWhite;

  const gdi::FontSpec& spec = run.font;
  t.Font.Name = ToUtf8(spec.face);
  const FaceMetrics metrics = MetricsOfFace(t.Font.Name);
  const double em = spec.cell_height ? spec.height / metrics.Cell() : spec.height;
  t.Font.Size = std::max(1, RoundHalfEven(em / kTenthsPerPoint));
  t.Font.Style = (spec.weight >= kBoldWeight ? kFontBold : 0u) | (spec.italic ? kFontItalic : 0u) |
                 (spec.underline ? kFontUnderline : 0u) | (spec.strike_out ? kFontStrikeOut : 0u);
  t.Font.Color = ColorOfRgb(run.color);
  t.Font.Charset = spec.charset;

  // From the reference line up to the top of the line, across the baseline.
  double rise = 0;
  switch (run.align & gdi::kTaBaseline) {
    case gdi::kTaBaseline: rise = metrics.Ascent * em; break;
    case gdi::kTaBottom: rise = metrics.Cell() * em; break;
    default: break;
  }
  const double angle = spec.escapement * std::numbers::pi / 180;
  const gdi::PointD anchor = AnchorOf(run, t.Alignment);
  t.X = anchor.x - rise * std::sin(angle);
  t.Y = anchor.y - rise * std::cos(angle);

  // Without glyph positions the run is taken as half an em per character.
  t.Height = metrics.Cell() * em;
  if (run.origins.size() >= 2) {
    const double from = std::min(run.origins.front().x, run.origins.back().x);
    t.Width = std::fabs(run.origins.back().x - run.origins.front().x);
    t.Left = from - rise * std::sin(angle);
  } else {
    t.Width = (spec.width > 0 ? spec.width : em / 2) * static_cast<double>(run.text.size());
    const double shift = t.Alignment == TextAlignment::RightJustify ? t.Width
                         : t.Alignment == TextAlignment::Center   ? t.Width / 2
                                                                  : 0;
    t.Left = t.X - shift;
  }
  return t;
}

void TextCollector::DrawText(const gdi::TextRun& run) {
  if (run.glyph_indices) return;
  texts_.push_back(TextOfRun(run));
}

std::vector<ExportText> CollectTexts(const gdi::Metafile& page, const gdi::RectD& target, bool* stopped) {
  TextCollector collector;
  const bool exhausted = gdi::PlayMetafile(page, collector, target).exhausted;
  if (stopped != nullptr) *stopped = exhausted;
  return collector.TakeTexts();
}

}  // namespace pravel
