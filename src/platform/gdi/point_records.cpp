#include "platform/gdi/point_records.h"

#include "platform/errors.h"

namespace pravel::gdi {

namespace {

constexpr std::size_t kBoundsSize = 16;  // rclBounds

template <typename Coord>
Coord ReadCoord(ByteReader& r) {
  if constexpr (sizeof(Coord) == 2)
    return r.I16();
  else
    return r.I32();
}

}  // namespace

template <typename Coord>
std::vector<PointD> ReadPoints(ByteReader& r, std::uint32_t count) {
  if (!r.Has(std::uint64_t{count} * 2 * sizeof(Coord))) throw EMetafileError("point count exceeds the record");
  std::vector<PointD> out;
  out.reserve(count);
  for (std::uint32_t k = 0; k < count; ++k) {
    const double x = ReadCoord<Coord>(r), y = ReadCoord<Coord>(r);
    out.push_back({x, y});
  }
  return out;
}

template <typename Coord>
std::vector<PointD> ReadPolyPoints(ByteReader& r) {
  r.Skip(kBoundsSize);
  const std::uint32_t count = r.U32();
  return ReadPoints<Coord>(r, count);
}

template <typename Coord>
PolyPolyPoints ReadPolyPolyPoints(ByteReader& r) {
  r.Skip(kBoundsSize);
  const std::uint32_t polys = r.U32();
  const std::uint32_t total = r.U32();
  if (!r.Has(std::uint64_t{polys} * 4)) throw EMetafileError("polygon count exceeds the record");
  PolyPolyPoints out;
  out.counts.resize(polys);
  std::uint64_t sum = 0;
  for (auto& c : out.counts) {
    c = r.U32();
    sum += c;
  }
  if (sum > total) throw EMetafileError("point counts exceed the total");
  out.points = ReadPoints<Coord>(r, static_cast<std::uint32_t>(sum));
  return out;
}

template <typename Coord>
PolyDrawPoints ReadPolyDrawPoints(ByteReader& r) {
  r.Skip(kBoundsSize);
  const std::uint32_t count = r.U32();
  PolyDrawPoints out;
  out.points = ReadPoints<Coord>(r, count);
  out.types = r.Take(count);
  return out;
}

template std::vector<PointD> ReadPoints<std::int16_t>(ByteReader&, std::uint32_t);
template std::vector<PointD> ReadPoints<std::int32_t>(ByteReader&, std::uint32_t);
template std::vector<PointD> ReadPolyPoints<std::int16_t>(ByteReader&);
template std::vector<PointD> ReadPolyPoints<std::int32_t>(ByteReader&);
template PolyPolyPoints ReadPolyPolyPoints<std::int16_t>(ByteReader&);
template PolyPolyPoints ReadPolyPolyPoints<std::int32_t>(ByteReader&);
template PolyDrawPoints ReadPolyDrawPoints<std::int16_t>(ByteReader&);
template PolyDrawPoints ReadPolyDrawPoints<std::int32_t>(ByteReader&);

}  // namespace pravel::gdi
