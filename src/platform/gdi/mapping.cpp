#include "platform/gdi/mapping.h"

#include <cmath>

namespace pravel::gdi {

double UnitsPerMillimetre(MapMode mode) noexcept {
  switch (mode) {
    case MapMode::LoMetric: return 10;
    case MapMode::HiMetric: return 100;
    case MapMode::LoEnglish: return 100 / 25.4;
    case MapMode::HiEnglish: return 1000 / 25.4;
    case MapMode::Twips: return 1440 / 25.4;
    default: return 0;
  }
}

PointD IsotropicViewportExtent(PointD w, PointD v, ExtentRounding rounding) noexcept {
  const auto whole = [rounding](double x) { return rounding == ExtentRounding::WholeUnits ? std::round(x) : x; };
  if (std::fabs(v.x / w.x) < std::fabs(v.y / w.y))
    v.y = std::copysign(whole(std::fabs(w.y * v.x / w.x)), v.y);
  else
    v.x = std::copysign(whole(std::fabs(w.x * v.y / w.y)), v.x);
  return v;
}

XForm PageTransform(const PageMapping& m, double pixels_per_inch) noexcept {
  PointD w = m.window_ext, v = m.viewport_ext;
  if (const double per_mm = UnitsPerMillimetre(m.mode); per_mm > 0) {
    w = {per_mm * 25.4, per_mm * 25.4};
    v = {pixels_per_inch, -pixels_per_inch};
  } else if (!HasScalableExtents(m.mode)) {
    w = v = {1, 1};
  }
  const auto nonzero = [](PointD& p) {
    if (p.x == 0) p.x = 1;
    if (p.y == 0) p.y = 1;
  };
  nonzero(w);
  nonzero(v);
  if (m.mode == MapMode::Isotropic) {
    v = IsotropicViewportExtent(w, v, ExtentRounding::WholeUnits);
    nonzero(v);
  }
  XForm page;
  page.m11 = v.x / w.x;
  page.m22 = v.y / w.y;
  page.dx = m.viewport_org.x - m.window_org.x * page.m11;
  page.dy = m.viewport_org.y - m.window_org.y * page.m22;
  return page;
}

}  // namespace pravel::gdi
