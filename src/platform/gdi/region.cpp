#include "platform/gdi/region.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pravel::gdi {

namespace {

// Band edges in order, each once.
void SortUnique(std::vector<std::int32_t>& ys) {
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
}

using Spans = std::vector<std::int32_t>;

bool Inside(RegionOp op, bool a, bool b) {
  switch (op) {
    case RegionOp::And: return a && b;
    case RegionOp::Or: return a || b;
    case RegionOp::Xor: return a != b;
    case RegionOp::Diff: return a && !b;
    case RegionOp::Copy: return b;
  }
  return false;
}

// Combines two span lists with a boolean operation.
Spans CombineSpans(const Spans& a, const Spans& b, RegionOp op) {
  Spans out;
  std::size_t i = 0, j = 0;
  bool in_a = false, in_b = false, in = false;
  while (i < a.size() || j < b.size()) {
    std::int32_t x = std::numeric_limits<std::int32_t>::max();
    if (i < a.size()) x = a[i];
    if (j < b.size()) x = std::min(x, b[j]);
    while (i < a.size() && a[i] == x) {
      in_a = !in_a;
      ++i;
    }
    while (j < b.size() && b[j] == x) {
      in_b = !in_b;
      ++j;
    }
    const bool now = Inside(op, in_a, in_b);
    if (now != in) {
      if (!out.empty() && out.back() == x)
        out.pop_back();  // touching spans merge
      else
        out.push_back(x);
      in = now;
    }
  }
  return out;
}

std::int32_t ClampToInt(double v) {
  constexpr double kMax = 1 << 30;
  return static_cast<std::int32_t>(std::clamp(v, -kMax, kMax));
}

}  // namespace

Region Region::Of(Bands&& bands) {
  Region out;
  if (!bands.empty()) out.bands_ = std::make_shared<const Bands>(std::move(bands));
  return out;
}

Region Region::FromRect(const RectI& r) {
  Bands bands;
  if (!r.Empty()) bands.push_back({r.top, r.bottom, {r.left, r.right}});
  return Of(std::move(bands));
}

Region Region::FromRects(std::span<const RectI> rects) {
  // Sweep down the rows: each band unites the rectangles that cover it.
  std::vector<RectI> sorted;
  sorted.reserve(std::min<std::size_t>(rects.size(), kMaxRects));
  for (const auto& r : rects) {
    if (sorted.size() == kMaxRects) break;
    if (!r.Empty()) sorted.push_back(r);
  }
  std::sort(sorted.begin(), sorted.end(), [](const RectI& a, const RectI& b) { return a.top < b.top; });
  std::vector<std::int32_t> ys;
  for (const auto& r : sorted) {
    ys.push_back(r.top);
    ys.push_back(r.bottom);
  }
  SortUnique(ys);
  Bands out;
  std::vector<const RectI*> active;
  std::vector<std::pair<std::int32_t, std::int32_t>> spans;
  std::size_t next = 0;
  for (std::size_t k = 0; k + 1 < ys.size(); ++k) {
    const std::int32_t y0 = ys[k], y1 = ys[k + 1];
    while (next < sorted.size() && sorted[next].top <= y0) active.push_back(&sorted[next++]);
    std::erase_if(active, [y0](const RectI* r) { return r->bottom <= y0; });
    spans.clear();
    for (const RectI* r : active) spans.emplace_back(r->left, r->right);
    std::sort(spans.begin(), spans.end());
    Spans xs;
    for (const auto& [l, r] : spans) {
      if (!xs.empty() && l <= xs.back())
        xs.back() = std::max(xs.back(), r);
      else {
        xs.push_back(l);
        xs.push_back(r);
      }
    }
    Append(out, y0, y1, std::move(xs));
  }
  return Of(std::move(out));
}

void Region::Append(Bands& bands, std::int32_t top, std::int32_t bottom, Spans&& xs) {
  if (xs.empty() || bottom <= top) return;
  if (!bands.empty() && bands.back().bottom == top && bands.back().xs == xs) {
    bands.back().bottom = bottom;
    return;
  }
  bands.push_back({top, bottom, std::move(xs)});
}

RectI Region::Bounds() const noexcept {
  const auto bands = View();
  if (bands.empty()) return {};
  RectI r{std::numeric_limits<std::int32_t>::max(), bands.front().top, std::numeric_limits<std::int32_t>::min(),
          bands.back().bottom};
  for (const auto& b : bands) {
    r.left = std::min(r.left, b.xs.front());
    r.right = std::max(r.right, b.xs.back());
  }
  return r;
}

std::vector<RectI> Region::Rects() const {
  std::vector<RectI> out;
  for (const auto& b : View())
    for (std::size_t k = 0; k + 1 < b.xs.size(); k += 2) out.push_back({b.xs[k], b.top, b.xs[k + 1], b.bottom});
  return out;
}

Region Region::Combine(const Region& other, RegionOp op) const {
  if (op == RegionOp::Copy) return other;
  const auto mine = View(), theirs = other.View();
  std::vector<std::int32_t> ys;
  ys.reserve(2 * (mine.size() + theirs.size()));
  for (const auto& b : mine) {
    ys.push_back(b.top);
    ys.push_back(b.bottom);
  }
  for (const auto& b : theirs) {
    ys.push_back(b.top);
    ys.push_back(b.bottom);
  }
  SortUnique(ys);
  Bands out;
  const Spans none;
  std::size_t i = 0, j = 0;
  for (std::size_t k = 0; k + 1 < ys.size(); ++k) {
    const std::int32_t y0 = ys[k], y1 = ys[k + 1];
    while (i < mine.size() && mine[i].bottom <= y0) ++i;
    while (j < theirs.size() && theirs[j].bottom <= y0) ++j;
    const Spans& a = (i < mine.size() && mine[i].top <= y0) ? mine[i].xs : none;
    const Spans& b = (j < theirs.size() && theirs[j].top <= y0) ? theirs[j].xs : none;
    if (a.empty() && b.empty()) continue;
    Append(out, y0, y1, CombineSpans(a, b, op));
  }
  return Of(std::move(out));
}

std::size_t Region::SpanCount() const noexcept {
  std::size_t n = 0;
  for (const auto& b : View()) n += b.xs.size() / 2;
  return n;
}

void Region::Offset(std::int32_t dx, std::int32_t dy) {
  // Coordinates stay within +-2^30, as the device's do: an offset that
  // would carry the region past them leaves it where it is.
  constexpr std::int64_t kMax = std::int64_t{1} << 30;
  if (Empty()) return;
  const RectI b = Bounds();
  const auto fits = [](std::int64_t v) { return v >= -kMax && v <= kMax; };
  if (!fits(std::int64_t{b.left} + dx) || !fits(std::int64_t{b.right} + dx) || !fits(std::int64_t{b.top} + dy) ||
      !fits(std::int64_t{b.bottom} + dy))
    return;
  Bands moved(bands_->begin(), bands_->end());
  for (auto& band : moved) {
    band.top += dy;
    band.bottom += dy;
    for (auto& x : band.xs) x += dx;
  }
  *this = Of(std::move(moved));
}

Region Region::FromPolygons(const std::vector<std::vector<PointD>>& polygons, FillRule rule, const RectI& limit) {
  struct Edge {
    double x0, y0, x1, y1;
    int dir;
  };
  std::vector<Edge> edges;
  double min_y = std::numeric_limits<double>::max(), max_y = std::numeric_limits<double>::lowest();
  for (const auto& poly : polygons) {
    for (std::size_t k = 0; k < poly.size(); ++k) {
      const PointD a = poly[k], b = poly[(k + 1) % poly.size()];
      if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) continue;
      if (a.y == b.y) continue;
      if (a.y < b.y)
        edges.push_back({a.x, a.y, b.x, b.y, 1});
      else
        edges.push_back({b.x, b.y, a.x, a.y, -1});
      min_y = std::min({min_y, a.y, b.y});
      max_y = std::max({max_y, a.y, b.y});
    }
  }
  Bands out;
  if (edges.empty()) return {};
  const std::int32_t row0 = std::max(limit.top, ClampToInt(std::floor(min_y)));
  const std::int32_t row1 = std::min(limit.bottom, ClampToInt(std::ceil(max_y)));
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
  std::vector<std::pair<double, int>> crossings;
  std::vector<const Edge*> active;
  std::size_t next = 0;
  for (std::int32_t row = row0; row < row1; ++row) {
    const double yc = row + 0.5;
    while (next < edges.size() && edges[next].y0 <= yc) active.push_back(&edges[next++]);
    std::erase_if(active, [yc](const Edge* e) { return e->y1 <= yc; });
    crossings.clear();
    for (const Edge* e : active) {
      const double t = (yc - e->y0) / (e->y1 - e->y0);
      crossings.emplace_back(e->x0 + t * (e->x1 - e->x0), e->dir);
    }
    if (crossings.empty()) continue;
    std::sort(crossings.begin(), crossings.end());
    Spans xs;
    int winding = 0;
    for (std::size_t k = 0; k < crossings.size(); ++k) {
      const bool was_in = rule == FillRule::Winding ? winding != 0 : (winding & 1) != 0;
      winding += rule == FillRule::Winding ? crossings[k].second : 1;
      const bool now_in = rule == FillRule::Winding ? winding != 0 : (winding & 1) != 0;
      if (was_in == now_in) continue;
      // A pixel is inside when its centre is: x + 0.5 >= crossing.
      const std::int32_t x = ClampToInt(std::ceil(crossings[k].first - 0.5));
      xs.push_back(std::clamp(x, limit.left, limit.right));
    }
    Spans clean;
    for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
      if (xs[k + 1] <= xs[k]) continue;
      if (!clean.empty() && clean.back() >= xs[k])
        clean.back() = std::max(clean.back(), xs[k + 1]);
      else {
        clean.push_back(xs[k]);
        clean.push_back(xs[k + 1]);
      }
    }
    Append(out, row, row + 1, std::move(clean));
  }
  return Of(std::move(out));
}

}  // namespace pravel::gdi
