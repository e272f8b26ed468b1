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

// Whether the path is one upright rectangle, its box then: a figure of four
// corners, optionally back to the first, closed.
bool IsUprightRectangle(const gdi::Path& path, const gdi::RectD& box) {
  using V = gdi::PathVerb;
  const auto& v = path.verbs;
  const std::size_t corners = path.points.size();
  if (corners != 4 && corners != 5) return false;
  if (v.size() != corners + 1 || v.back() != V::Close) return false;
  for (std::size_t k = 1; k < corners; ++k)
    if (v[k] != V::LineTo) return false;
  if (corners == 5 && !(path.points[4] == path.points[0])) return false;
  if (!(box.left < box.right && box.top < box.bottom)) return false;
  // Four distinct corners of the box, each side upright.
  for (std::size_t k = 0; k < 4; ++k) {
    const gdi::PointD a = path.points[k], b = path.points[(k + 1) % 4];
    if (a.x != b.x && a.y != b.y) return false;
    if ((a.x != box.left && a.x != box.right) || (a.y != box.top && a.y != box.bottom)) return false;
    for (std::size_t j = k + 1; j < 4; ++j)
      if (a == path.points[j]) return false;
  }
  return true;
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
  const bool rect = IsUprightRectangle(path, *box);
  if (!joined_.Empty()) {
    const bool fits = rects_ ? rect : rule == rule_ && !Overlap(*box, bounds_);
    if (brush.color != brush_.color || !fits || joined_.points.size() + path.points.size() > kMaxPoints) Flush();
  }
  if (joined_.Empty()) {
    brush_ = brush;
    rects_ = rect;
    rule_ = rect ? gdi::FillRule::Winding : rule;
    bounds_ = *box;
  } else {
    bounds_ = {std::min(bounds_.left, box->left), std::min(bounds_.top, box->top), std::max(bounds_.right, box->right),
               std::max(bounds_.bottom, box->bottom)};
  }
  if (rects_) {
    joined_.MoveTo({box->left, box->top});
    joined_.LineTo({box->right, box->top});
    joined_.LineTo({box->right, box->bottom});
    joined_.LineTo({box->left, box->bottom});
    joined_.Close();
    return;
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
