#include "platform/qt/joined_fills.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace pravel::qt {
namespace {

// The box of the path's points, control points included; none for a path
// that does not start a figure or has a point that is not finite.
std::optional<gdi::RectD> JoinableBounds(const gdi::Path& path) {
  if (path.Empty() || path.points.empty() || path.verbs.front() != gdi::PathVerb::MoveTo) return std::nullopt;
  gdi::RectD box{path.points.front().x, path.points.front().y, path.points.front().x, path.points.front().y};
  for (const gdi::PointD& p : path.points) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return std::nullopt;
    box = {std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x), std::max(box.bottom, p.y)};
  }
  return box;
}

// Boxes that share more than an edge.
bool Overlap(const gdi::RectD& a, const gdi::RectD& b) noexcept {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

void JoinedFillsSurface::SetClip(const gdi::Region* clip) {
  Flush();
  target_.SetClip(clip);
}

void JoinedFillsSurface::FillPath(const gdi::Path& path, gdi::FillRule rule, const gdi::Brush& brush, gdi::Rop2 rop) {
  const bool solid = brush.kind == gdi::BrushKind::Solid && rop == gdi::Rop2::CopyPen;
  const std::optional<gdi::RectD> box = solid ? JoinableBounds(path) : std::nullopt;
  if (!box) {
    Flush();
    target_.FillPath(path, rule, brush, rop);
    return;
  }
  if (!joined_.Empty() && (brush.color != brush_.color || rule != rule_ || Overlap(*box, bounds_) ||
                           joined_.points.size() + path.points.size() > kMaxPoints))
    Flush();
  if (joined_.Empty()) {
    brush_ = brush;
    rule_ = rule;
    bounds_ = *box;
  } else {
    bounds_ = {std::min(bounds_.left, box->left), std::min(bounds_.top, box->top), std::max(bounds_.right, box->right),
               std::max(bounds_.bottom, box->bottom)};
  }
  joined_.verbs.insert(joined_.verbs.end(), path.verbs.begin(), path.verbs.end());
  joined_.points.insert(joined_.points.end(), path.points.begin(), path.points.end());
}

void JoinedFillsSurface::StrokePath(const gdi::Path& path, const gdi::Pen& pen, gdi::Rop2 rop) {
  Flush();
  target_.StrokePath(path, pen, rop);
}

void JoinedFillsSurface::DrawText(const gdi::TextRun& run) {
  Flush();
  target_.DrawText(run);
}

void JoinedFillsSurface::DrawImage(const gdi::ImageDraw& draw) {
  Flush();
  target_.DrawImage(draw);
}

void JoinedFillsSurface::Flush() {
  if (joined_.Empty()) return;
  target_.FillPath(joined_, rule_, brush_, gdi::Rop2::CopyPen);
  joined_.Clear();
}

}  // namespace pravel::qt
