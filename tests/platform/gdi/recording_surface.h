#pragma once
// A Surface that records what it is asked to draw.

#include <algorithm>
#include <limits>
#include <vector>

#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"

namespace pravel::gdi::test {

struct Recorded {
  enum class Kind { Fill, Stroke } kind;
  Path path;
  Brush brush;
  Pen pen;
  Rop2 rop = Rop2::CopyPen;
  std::vector<RectI> clip;  // empty: none
};

inline RectD Bounds(const Path& p) {
  RectD r{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
          std::numeric_limits<double>::lowest()};
  for (const auto& pt : p.points) {
    r.left = std::min(r.left, pt.x);
    r.top = std::min(r.top, pt.y);
    r.right = std::max(r.right, pt.x);
    r.bottom = std::max(r.bottom, pt.y);
  }
  return r;
}

struct Recording {
  std::vector<Recorded> shapes;
  std::vector<TextRun> texts;
  std::vector<std::vector<RectI>> text_clips;
  std::vector<ImageDraw> images;
};

class RecordingSurface final : public Surface {
 public:
  void SetClip(const Region* clip) override { clip_ = clip ? clip->Rects() : std::vector<RectI>{}; }
  void FillPath(const Path& path, FillRule, const Brush& brush, Rop2 rop) override {
    out.shapes.push_back({Recorded::Kind::Fill, path, brush, {}, rop, clip_});
  }
  void StrokePath(const Path& path, const Pen& pen, Rop2 rop) override {
    out.shapes.push_back({Recorded::Kind::Stroke, path, {}, pen, rop, clip_});
  }
  void DrawText(const TextRun& run) override {
    out.texts.push_back(run);
    out.text_clips.push_back(clip_);
  }
  void DrawImage(const ImageDraw& draw) override { out.images.push_back(draw); }
  // Every glyph `advance` wide on a cell of `metrics`.
  TextMetrics MeasureText(const FontSpec&, std::u16string_view text, bool) override {
    TextMetrics m = metrics;
    m.advances.assign(text.size(), advance);
    return m;
  }

  Recording out;
  TextMetrics metrics;
  double advance = 0;

 private:
  std::vector<RectI> clip_;
};

}  // namespace pravel::gdi::test
