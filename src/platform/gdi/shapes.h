#pragma once
// Building and flattening paths: ellipses, arcs and rounded rectangles as
// cubic Béziers, and the polygons of a path.

#include <vector>

#include "platform/gdi/geometry.h"
#include "platform/gdi/surface.h"

namespace pravel::gdi {

// Angles are radians in a y-down plane, counter-clockwise as seen:
// the point at angle a is (cx + rx cos a, cy - ry sin a).
PointD EllipsePoint(PointD centre, double rx, double ry, double angle) noexcept;

// Appends the arc from `start` sweeping `sweep` radians (negative: clockwise).
// With `connect` the arc joins the current figure by a line, else it starts one.
void AppendArc(Path& path, PointD centre, double rx, double ry, double start, double sweep, bool connect);

Path EllipsePath(const RectD& box);
Path RoundRectPath(const RectD& box, double corner_width, double corner_height);
Path RectPath(const RectD& box);

Path TransformPath(const Path& path, const XForm& t);

// The figures of a path as polygons, curves flattened to within `tolerance`.
std::vector<std::vector<PointD>> FlattenPath(const Path& path, double tolerance = 0.25);
// The same polygons as a path of lines.
Path FlattenedPath(const Path& path, double tolerance = 0.25);

}  // namespace pravel::gdi
