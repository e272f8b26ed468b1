#pragma once
// Turns the text records of a played page into the TextOut arguments of an
// export filter. The page is played with device units of 0.1 mm, so that the
// collected positions are report positions.

#include <string>
#include <utility>
#include <vector>

#include "export/export_filter.h"
#include "platform/font.h"
#include "platform/gdi/geometry.h"
#include "platform/gdi/metafile.h"
#include "platform/gdi/surface.h"

namespace pravel {

// The arguments of one TextOut call.
struct ExportText {
  long double X = 0;  // the anchor: left edge, right edge or centre by Alignment
  long double Y = 0;  // the top of the line
  pravel::Font Font;
  ColorValue BackgroundColor = kColorWhite;
  TextAlignment Alignment = TextAlignment::LeftJustify;
  std::string Text;        // UTF-8
  long double Left = 0;    // the run's left edge
  long double Width = 0;   // from the first glyph's start to the run's end
  long double Height = 0;  // the line: ascent plus descent
};

// A surface that keeps the text runs played onto it, in drawing order, and
// ignores everything else. Runs of glyph indices carry no characters and are
// left out.
class TextCollector final : public gdi::Surface {
 public:
  void SetClip(const gdi::Region* /*clip*/) override {}
  void FillPath(const gdi::Path& /*path*/, gdi::FillRule /*rule*/, const gdi::Brush& /*brush*/,
                gdi::Rop2 /*rop*/) override {}
  void StrokePath(const gdi::Path& /*path*/, const gdi::Pen& /*pen*/, gdi::Rop2 /*rop*/) override {}
  void DrawText(const gdi::TextRun& run) override;
  void DrawImage(const gdi::ImageDraw& /*draw*/) override {}
  gdi::TextMetrics MeasureText(const gdi::FontSpec& font, std::u16string_view text, bool glyph_indices) override;
  bool TextOnly() const override { return true; }

  const std::vector<ExportText>& Texts() const noexcept { return texts_; }
  std::vector<ExportText> TakeTexts() noexcept { return std::move(texts_); }

 private:
  std::vector<ExportText> texts_;
};

// The TextOut arguments of a run on a surface whose device units are 0.1 mm.
ExportText TextOfRun(const gdi::TextRun& run);

// The texts of `page` with its frame stretched over `target` (0.1 mm);
// `stopped` tells whether playing it ran out of its work budget.
std::vector<ExportText> CollectTexts(const gdi::Metafile& page, const gdi::RectD& target, bool* stopped = nullptr);

}  // namespace pravel
