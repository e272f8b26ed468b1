#include "platform/gdi/pixel_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/gdi/shapes.h"

namespace pravel::gdi {

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

Pixel Nearest(PointD p) {
  return {static_cast<std::int32_t>(std::lround(p.x)), static_cast<std::int32_t>(std::lround(p.y))};
}

// Appends the line from a to b without its last pixel, only the steps whose
// major coordinate lies within [lo, hi] of that axis.
void AppendLine(std::vector<Pixel>& pixels, Pixel a, Pixel b, const RectI& device) {
  const int dx = b.x - a.x, dy = b.y - a.y;
  const int adx = std::abs(dx), ady = std::abs(dy);
  const bool x_major = adx >= ady;
  const int steps = std::max(adx, ady);
  const int origin = x_major ? a.x : a.y;
  const int dir = (x_major ? dx : dy) > 0 ? 1 : -1;
  const int lo = x_major ? device.left : device.top;
  const int hi = (x_major ? device.right : device.bottom) - 1;
  int first = 0, last = steps - 1;
  if (dir > 0) {
    first = std::max(first, lo - origin);
    last = std::min(last, hi - origin);
  } else {
    first = std::max(first, origin - hi);
    last = std::min(last, origin - lo);
  }
  // Offset on the minor axis: i * d / major, halves rounded up.
  const auto minor = [](int step, int d, int major) {
    return static_cast<int>(FloorDiv(2 * std::int64_t{step} * d + major, 2 * std::int64_t{major}));
  };
  for (int i = first; i <= last; ++i) {
    if (x_major)
      pixels.push_back({a.x + dir * i, a.y + minor(i, dy, adx)});
    else
      pixels.push_back({a.x + minor(i, dx, ady), a.y + dir * i});
  }
}

}  // namespace

bool WithinPixelRange(const Path& path) noexcept {
  constexpr double kLimit = 1 << 24;
  return std::all_of(path.points.begin(), path.points.end(),
                     [](const PointD& p) { return std::fabs(p.x) < kLimit && std::fabs(p.y) < kLimit; });
}

std::vector<Pixel> PixelLinePixels(const Path& path, const RectI& device) {
  std::vector<Pixel> pixels;
  for (const auto& figure : FlattenPath(path, 0.3)) {
    if (figure.empty()) continue;
    std::vector<Pixel> pts;
    pts.reserve(figure.size());
    for (const auto& p : figure) pts.push_back(Nearest(p));
    for (std::size_t k = 0; k + 1 < pts.size(); ++k) AppendLine(pixels, pts[k], pts[k + 1], device);
  }
  // Closed figures: the closing edge and its last pixel.
  std::size_t k = 0;
  Pixel first, last;
  bool open = false;
  for (const PathVerb v : path.verbs) {
    if (v == PathVerb::MoveTo && k < path.points.size()) {
      first = last = Nearest(path.points[k]);
      open = true;
      ++k;
    } else if (v == PathVerb::LineTo && k < path.points.size()) {
      last = Nearest(path.points[k]);
      ++k;
    } else if (v == PathVerb::CubicTo && k + 3 <= path.points.size()) {
      last = Nearest(path.points[k + 2]);
      k += 3;
    } else if (v == PathVerb::Close && open) {
      AppendLine(pixels, last, first, device);
      pixels.push_back(first);
      last = first;
    }
  }
  return pixels;
}

}  // namespace pravel::gdi
