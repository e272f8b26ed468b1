// What each drawing operation costs the page's work budget.

#include <algorithm>
#include <cmath>

#include "platform/gdi/player_impl.h"

namespace pravel::gdi {

namespace {

// Device coordinates beyond this are not drawn: the record is skipped.
constexpr double kMaxCoordinate = 1 << 30;

struct Extent {
  double left = 0, top = 0, right = 0, bottom = 0;
  bool any = false;
  bool out_of_range = false;
  void Add(PointD p) {
    if (!(std::fabs(p.x) <= kMaxCoordinate) || !(std::fabs(p.y) <= kMaxCoordinate)) {
      out_of_range = true;
      return;
    }
    if (!any) {
      left = right = p.x;
      top = bottom = p.y;
      any = true;
      return;
    }
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
};

double Length(const std::vector<PointD>& points) {
  double length = 0;
  for (std::size_t k = 1; k < points.size(); ++k) {
    const double d = std::hypot(points[k].x - points[k - 1].x, points[k].y - points[k - 1].y);
    if (std::isfinite(d)) length += d;
  }
  return length;
}

// A count from a double, saturating.
std::uint64_t Count(double v) {
  if (!(v > 0)) return 0;
  if (v >= 1.8e19) return UINT64_MAX;
  return static_cast<std::uint64_t>(std::ceil(v));
}

}  // namespace

std::uint64_t FlattenedPointCount(const Path& path) {
  constexpr double kTolerance = 0.25;  // FlattenPath's
  std::uint64_t count = 0;
  std::size_t k = 0;
  PointD last;
  for (const PathVerb v : path.verbs) {
    if (v == PathVerb::Close) continue;
    if (v != PathVerb::CubicTo) {
      if (k >= path.points.size()) break;
      last = path.points[k++];
      ++count;
      continue;
    }
    if (k + 3 > path.points.size()) break;
    const PointD p1 = path.points[k], p2 = path.points[k + 1], p3 = path.points[k + 2];
    const double dd = std::hypot(last.x - 2 * p1.x + p2.x, last.y - 2 * p1.y + p2.y) +
                      std::hypot(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y);
    count += std::isfinite(dd) && dd > kTolerance
                 ? std::clamp(Count(std::sqrt(dd / kTolerance)), std::uint64_t{1}, std::uint64_t{200})
                 : 1;
    last = p3;
    k += 3;
  }
  return count;
}

// Millionths of the target's area that a device rectangle covers inside the
// drawing limit.
std::uint64_t Player::AreaCost(const RectD& r) const noexcept {
  const double l = std::max(r.left, static_cast<double>(limit_.left));
  const double t = std::max(r.top, static_cast<double>(limit_.top));
  const double rt = std::min(r.right, static_cast<double>(limit_.right));
  const double b = std::min(r.bottom, static_cast<double>(limit_.bottom));
  if (!(rt > l) || !(b > t)) return 0;
  const double page = std::max(1.0, std::fabs(target_.Width() * target_.Height()));
  return Count((rt - l) * (b - t) / page * 1e6);
}

// Scan conversion visits each edge on every row it crosses (curves by their
// control polygon).
std::uint64_t Player::FillRowCost(const Path& path) const noexcept {
  const double top = limit_.top, bottom = limit_.bottom;
  double cost = 0;
  PointD figure_start, last;
  const auto edge = [&](PointD a, PointD b) {
    const double rows = std::min(std::max(a.y, b.y), bottom) - std::max(std::min(a.y, b.y), top);
    if (rows > 0) cost += rows + 1;
  };
  std::size_t k = 0;
  for (const PathVerb v : path.verbs) {
    if (v == PathVerb::Close) {
      edge(last, figure_start);
      last = figure_start;
      continue;
    }
    const std::size_t n = v == PathVerb::CubicTo ? 3 : 1;
    if (k + n > path.points.size()) break;
    if (v == PathVerb::MoveTo) {
      edge(last, figure_start);  // fills close open figures
      figure_start = last = path.points[k];
    } else {
      for (std::size_t i = k; i < k + n; ++i) {
        edge(last, path.points[i]);
        last = path.points[i];
      }
    }
    k += n;
  }
  edge(last, figure_start);
  return Count(cost);
}

bool Player::MayFill(const Path& path) {
  Extent e;
  for (const auto& p : path.points) e.Add(p);
  if (e.out_of_range) return false;
  return Charge(Work::Operations, 1) && Charge(Work::PathPoints, path.points.size()) &&
         Charge(Work::FillRows, FillRowCost(path)) &&
         Charge(Work::DrawnArea, e.any ? AreaCost({e.left, e.top, e.right + 1, e.bottom + 1}) : 0);
}

bool Player::MayStroke(const Path& path, const Pen& pen) {
  Extent e;
  for (const auto& p : path.points) e.Add(p);
  if (e.out_of_range) return false;
  if (!e.any) return Charge(Work::Operations, 1);
  const double width = pen.cosmetic ? 1 : std::max(1.0, pen.width);
  const double length = Length(path.points);
  const RectD box{e.left - width, e.top - width, e.right + width, e.bottom + width};
  const std::uint64_t box_area = AreaCost(box);
  const double page = std::max(1.0, std::fabs(target_.Width() * target_.Height()));
  const std::uint64_t area = std::min(box_area, Count((length + width) * width / page * 1e6));
  // A dashed stroke walks its pattern once per period along the path; the
  // pattern itself is copied and prepared for each stroke.
  std::uint64_t dashes = 8 * pen.dashes.size();
  if (!pen.dashes.empty()) {
    double period = 0;
    for (const double d : pen.dashes) period += d;
    dashes += Count(length / std::max(period, 1.0) * static_cast<double>(pen.dashes.size()));
  }
  return Charge(Work::Operations, 1) && Charge(Work::PathPoints, path.points.size() + dashes) &&
         Charge(Work::DrawnArea, area);
}

bool Player::MayDrawImage(const ImageDraw& draw) {
  if (!draw.image) return false;
  const auto& d = draw.dest;
  Extent e;
  e.Add(d[0]);
  e.Add(d[1]);
  e.Add(d[2]);
  e.Add({d[1].x + d[2].x - d[0].x, d[1].y + d[2].y - d[0].y});
  if (e.out_of_range) return false;
  const std::uint64_t pixels = static_cast<std::uint64_t>(std::max(0, draw.image->width)) *
                               static_cast<std::uint64_t>(std::max(0, draw.image->height));
  // A surface decodes or converts a picture when first drawn; a colour key
  // converts it on every draw.
  const bool converts = pictures_.FirstDraw(draw.image.get()) || draw.transparent.has_value();
  return Charge(Work::Operations, 1) && Charge(Work::PicturePixels, converts ? pixels : 0) &&
         Charge(Work::DrawnArea, e.any ? AreaCost({e.left, e.top, e.right, e.bottom}) : 0);
}

bool Player::MayDrawText(const TextRun& run) {
  Extent e;
  e.Add(run.reference);
  for (const auto& p : run.origins) e.Add(p);
  const FontSpec& f = run.font;
  if (e.out_of_range || !(std::fabs(f.height) <= kMaxCoordinate) || !(std::fabs(f.width) <= kMaxCoordinate) ||
      !std::isfinite(f.escapement) || !std::isfinite(f.orientation))
    return false;
  const bool font_changed = !last_font_ || !(*last_font_ == run.font);
  if (font_changed) last_font_ = run.font;
  const double em = std::isfinite(run.font.height) ? std::fabs(run.font.height) : 0;
  const double page = std::max(1.0, std::fabs(target_.Width() * target_.Height()));
  const double limit_area = std::max(
      1.0, (static_cast<double>(limit_.right) - limit_.left) * (static_cast<double>(limit_.bottom) - limit_.top));
  const double glyph_area = std::min(em * em, limit_area);
  return Charge(Work::Operations, 1) && Charge(Work::Fonts, font_changed ? 1 : 0) &&
         Charge(Work::Glyphs, run.text.size()) &&
         Charge(Work::DrawnArea, Count(glyph_area * static_cast<double>(run.text.size()) / page * 1e6));
}

bool Player::MayCombine(const Region& a, const Region& b) {
  return Charge(Work::RegionSpans, a.SpanCount() + b.SpanCount() + a.BandCount() + b.BandCount());
}

}  // namespace pravel::gdi
