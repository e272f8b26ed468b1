#include "platform/gdi/shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pravel::gdi {

PointD EllipsePoint(PointD c, double rx, double ry, double a) noexcept {
  return {c.x + rx * std::cos(a), c.y - ry * std::sin(a)};
}

void AppendArc(Path& path, PointD c, double rx, double ry, double start, double sweep, bool connect) {
  const PointD first = EllipsePoint(c, rx, ry, start);
  if (connect && !path.Empty())
    path.LineTo(first);
  else
    path.MoveTo(first);
  if (!std::isfinite(sweep) || sweep == 0) return;
  const int pieces =
      static_cast<int>(std::clamp(std::ceil(std::fabs(sweep) / (std::numbers::pi / 2) - 1e-9), 1.0, 64.0));
  const double step = sweep / pieces;
  const double k = 4.0 / 3.0 * std::tan(step / 4);
  double a = start;
  for (int i = 0; i < pieces; ++i) {
    const double b = a + step;
    const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
    const PointD p0{c.x + rx * ca, c.y - ry * sa};
    const PointD p3{c.x + rx * cb, c.y - ry * sb};
    const PointD c1{p0.x - k * rx * sa, p0.y - k * ry * ca};
    const PointD c2{p3.x + k * rx * sb, p3.y + k * ry * cb};
    path.CubicTo(c1, c2, p3);
    a = b;
  }
}

Path EllipsePath(const RectD& box) {
  Path p;
  const PointD c{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  AppendArc(p, c, std::fabs(box.Width()) / 2, std::fabs(box.Height()) / 2, 0, 2 * std::numbers::pi, false);
  p.Close();
  return p;
}

Path RectPath(const RectD& b) {
  Path p;
  p.MoveTo({b.left, b.top});
  p.LineTo({b.right, b.top});
  p.LineTo({b.right, b.bottom});
  p.LineTo({b.left, b.bottom});
  p.Close();
  return p;
}

Path RoundRectPath(const RectD& box, double cw, double ch) {
  const double l = std::min(box.left, box.right), r = std::max(box.left, box.right);
  const double t = std::min(box.top, box.bottom), b = std::max(box.top, box.bottom);
  const double rx = std::min(std::fabs(cw), r - l) / 2, ry = std::min(std::fabs(ch), b - t) / 2;
  if (rx <= 0 || ry <= 0) return RectPath({l, t, r, b});
  constexpr double kPi = std::numbers::pi;
  Path p;
  AppendArc(p, {r - rx, t + ry}, rx, ry, 0, kPi / 2, false);
  AppendArc(p, {l + rx, t + ry}, rx, ry, kPi / 2, kPi / 2, true);
  AppendArc(p, {l + rx, b - ry}, rx, ry, kPi, kPi / 2, true);
  AppendArc(p, {r - rx, b - ry}, rx, ry, 3 * kPi / 2, kPi / 2, true);
  p.Close();
  return p;
}

Path TransformPath(const Path& path, const XForm& t) {
  Path out;
  out.verbs = path.verbs;
  out.points.reserve(path.points.size());
  for (const auto& pt : path.points) out.points.push_back(t.Map(pt));
  return out;
}

namespace {

void FlattenCubic(std::vector<PointD>& out, PointD p0, PointD p1, PointD p2, PointD p3, double tolerance) {
  const double dd = std::hypot(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y) +
                    std::hypot(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y);
  int n = 1;
  if (std::isfinite(dd) && dd > tolerance)
    n = static_cast<int>(std::clamp(std::ceil(std::sqrt(dd / tolerance)), 1.0, 200.0));
  for (int i = 1; i <= n; ++i) {
    const double t = static_cast<double>(i) / n, u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    out.push_back({a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
  }
}

}  // namespace

std::vector<std::vector<PointD>> FlattenPath(const Path& path, double tolerance) {
  std::vector<std::vector<PointD>> out;
  std::size_t k = 0;
  for (const PathVerb v : path.verbs) {
    switch (v) {
      case PathVerb::MoveTo:
        if (k >= path.points.size()) return out;
        out.push_back({path.points[k++]});
        break;
      case PathVerb::LineTo:
        if (k >= path.points.size()) return out;
        if (out.empty()) out.emplace_back();
        out.back().push_back(path.points[k++]);
        break;
      case PathVerb::CubicTo:
        if (k + 3 > path.points.size()) return out;
        if (out.empty() || out.back().empty()) out.push_back({path.points[k]});
        FlattenCubic(out.back(), out.back().back(), path.points[k], path.points[k + 1], path.points[k + 2], tolerance);
        k += 3;
        break;
      case PathVerb::Close: break;
    }
  }
  return out;
}

Path FlattenedPath(const Path& path, double tolerance) {
  Path out;
  std::size_t figure = 0;
  const auto polys = FlattenPath(path, tolerance);
  // Keep the closed state of each figure.
  std::vector<bool> closed;
  for (std::size_t i = 0; i < path.verbs.size(); ++i) {
    if (path.verbs[i] == PathVerb::MoveTo || closed.empty()) closed.push_back(false);
    if (path.verbs[i] == PathVerb::Close) closed.back() = true;
  }
  for (const auto& poly : polys) {
    if (poly.empty()) continue;
    out.MoveTo(poly[0]);
    for (std::size_t i = 1; i < poly.size(); ++i) out.LineTo(poly[i]);
    if (figure < closed.size() && closed[figure]) out.Close();
    ++figure;
  }
  return out;
}

}  // namespace pravel::gdi
