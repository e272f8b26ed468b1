#pragma once
// The points of the POLY* records, read from 16- or 32-bit coordinates.
// A count that does not fit the record throws EMetafileError.

#include <cstdint>
#include <vector>

#include "platform/bytes.h"
#include "platform/gdi/geometry.h"

namespace pravel::gdi {

// `count` points of Coord pairs.
template <typename Coord>
std::vector<PointD> ReadPoints(ByteReader& r, std::uint32_t count);

// POLYLINE, POLYGON, POLYBEZIER and their TO forms: bounds, count, points.
template <typename Coord>
std::vector<PointD> ReadPolyPoints(ByteReader& r);

// POLYPOLYLINE and POLYPOLYGON: the points of each figure in turn.
struct PolyPolyPoints {
  std::vector<std::uint32_t> counts;
  std::vector<PointD> points;
};
template <typename Coord>
PolyPolyPoints ReadPolyPolyPoints(ByteReader& r);

// POLYDRAW: a point type byte per point.
struct PolyDrawPoints {
  std::vector<PointD> points;
  ByteSpan types;
};
template <typename Coord>
PolyDrawPoints ReadPolyDrawPoints(ByteReader& r);

}  // namespace pravel::gdi
