#pragma once
// A surface in front of another that hands on consecutive solid fills of one
// colour as one path while their figures lie apart. A vector target such as
// an SVG writer spends on each fill a whole group of style attributes, far
// more than on its outline: a page of many small fills (pixels, cells) then
// costs what its outlines do. Upright rectangles join whatever their overlap,
// turned one way round and filled by winding: their union. Other figures
// join only while their boxes lie apart. Either way the joined path paints
// what the opaque fills one by one would.

#include <cstddef>

#include "platform/gdi/surface.h"

namespace pravel::qt {

class JoinedFillsSurface final : public gdi::Surface {
 public:
  explicit JoinedFillsSurface(gdi::Surface& target) : target_(target) {}

  void SetClip(const gdi::Region* clip) override;
  void FillPath(const gdi::Path& path, gdi::FillRule rule, const gdi::Brush& brush, gdi::Rop2 rop) override;
  void StrokePath(const gdi::Path& path, const gdi::Pen& pen, gdi::Rop2 rop) override;
  void DrawText(const gdi::TextRun& run) override;
  void DrawImage(const gdi::ImageDraw& draw) override;
  bool TextOnly() const override { return target_.TextOnly(); }

  // Hands on the fills held back; call before the target's drawing ends.
  void Flush();

 private:
  // Points one joined path holds at most.
  static constexpr std::size_t kMaxPoints = 1 << 16;

  gdi::Surface& target_;
  gdi::Path joined_;
  gdi::Brush brush_;
  gdi::FillRule rule_ = gdi::FillRule::Alternate;
  gdi::RectD bounds_;   // of joined_'s points
  bool rects_ = false;  // joined_ holds upright rectangles only, filled by winding
};

}  // namespace pravel::qt
