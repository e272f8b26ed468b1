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

TextAlignment AlignmentOf(gdi::TextAnchor anchor) noexcept {
  switch (anchor) {
    case gdi::TextAnchor::Centre: return TextAlignment::Center;
    case gdi::TextAnchor::Right: return TextAlignment::RightJustify;
    case gdi::TextAnchor::Left: break;
  }
  return TextAlignment::LeftJustify;
}

// The anchor on the baseline by the run's alignment.
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

// The em height of a font spec by the face's own proportions.
double EmOf(const gdi::FontSpec& spec, const FaceMetrics& metrics) noexcept {
  return spec.cell_height ? spec.height / metrics.Cell() : spec.height;
}

}  // namespace

ExportText TextOfRun(const gdi::TextRun& run) {
  ExportText t;
  t.Text = ToUtf8(run.text);
  t.Alignment = AlignmentOf(run.anchor);
  t.BackgroundColor = run.opaque ? ColorOfRgb(run.background) : kColorWhite;

  const gdi::FontSpec& spec = run.font;
  t.Font.Name = ToUtf8(spec.face);
  const FaceMetrics metrics = MetricsOfFace(t.Font.Name);
  const double em = EmOf(spec, metrics);
  t.Font.Size = std::max(1, RoundHalfEven(em / kTenthsPerPoint));
  t.Font.Style = (spec.weight >= kBoldWeight ? kFontBold : 0u) | (spec.italic ? kFontItalic : 0u) |
                 (spec.underline ? kFontUnderline : 0u) | (spec.strike_out ? kFontStrikeOut : 0u);
  t.Font.Color = ColorOfRgb(run.color);
  t.Font.Charset = spec.charset;

  // From the baseline up to the top of the line.
  const double rise = metrics.Ascent * em;
  const double angle = spec.escapement * std::numbers::pi / 180;
  const gdi::PointD anchor = AnchorOf(run, t.Alignment);
  t.X = anchor.x - rise * std::sin(angle);
  t.Y = anchor.y - rise * std::cos(angle);

  t.Height = metrics.Cell() * em;
  if (run.origins.size() < 2) {
    t.Left = t.X;
  } else if (run.measured) {
    // Our own layout: its length along the baseline, the anchor shifted by it.
    const gdi::PointD d{run.origins.back().x - run.origins.front().x, run.origins.back().y - run.origins.front().y};
    t.Width = std::fabs(d.x * std::cos(angle) - d.y * std::sin(angle));
    const double shift = t.Alignment == TextAlignment::RightJustify ? t.Width
                         : t.Alignment == TextAlignment::Center     ? t.Width / 2
                                                                    : 0;
    t.Left = t.X - shift;
  } else {
    const double from = std::min(run.origins.front().x, run.origins.back().x);
    t.Width = std::fabs(run.origins.back().x - run.origins.front().x);
    t.Left = from - rise * std::sin(angle);
  }
  return t;
}

// Runs are laid out half an em per character, or at the requested average
// width, on the face's own ascent and descent.
gdi::TextMetrics TextCollector::MeasureText(const gdi::FontSpec& font, std::u16string_view text,
                                            bool /*glyph_indices*/) {
  const FaceMetrics metrics = MetricsOfFace(ToUtf8(font.face));
  const double em = EmOf(font, metrics);
  gdi::TextMetrics m;
  m.ascent = metrics.Ascent * em;
  m.descent = metrics.Descent * em;
  m.advances.assign(text.size(), font.width > 0 ? font.width : em / 2);
  return m;
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
