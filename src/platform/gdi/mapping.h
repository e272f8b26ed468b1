#pragma once
// The page space of a device context: a window in logical units and a
// viewport in device pixels, under a map mode. The player and the recorder
// keep it alike; where their rules part, the comments say why.

#include "platform/gdi/emf_types.h"
#include "platform/gdi/geometry.h"

namespace pravel::gdi {

struct PageMapping {
  MapMode mode = MapMode::Text;
  PointD window_org, window_ext{1, 1};
  PointD viewport_org, viewport_ext{1, 1};
};

// Logical units per millimetre of the metric and English modes; 0 for the others.
double UnitsPerMillimetre(MapMode mode) noexcept;

// Whether SETWINDOWEXTEX / SETVIEWPORTEXTEX may set an extent of x by y.
constexpr bool AcceptsExtent(const PageMapping& m, double x, double y) noexcept {
  return HasScalableExtents(m.mode) && x != 0 && y != 0;
}

// The viewport extent of MM_ISOTROPIC: the axis that would scale more
// shrinks to the other's scale.
enum class ExtentRounding : bool { Exact, WholeUnits };
PointD IsotropicViewportExtent(PointD window_ext, PointD viewport_ext, ExtentRounding rounding) noexcept;

// Logical units to device pixels, before the world transform, on a device
// of `pixels_per_inch`. Metric and English modes measure on that device;
// zero extents count as one.
XForm PageTransform(const PageMapping& m, double pixels_per_inch) noexcept;

}  // namespace pravel::gdi
