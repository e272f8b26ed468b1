#pragma once
// A set of device pixels held as horizontal bands of spans, as GDI regions
// are: clip regions, region records and clip paths all become one.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/gdi/geometry.h"
#include "platform/gdi/surface.h"

namespace pravel::gdi {

enum class RegionOp : std::uint8_t { And, Or, Xor, Diff, Copy };

class Region {
 public:
  Region() = default;
  static Region FromRect(const RectI& r);
  // The union of rectangles; past kMaxRects the rest are left out.
  static Region FromRects(std::span<const RectI> rects);
  static constexpr std::size_t kMaxRects = 20000;
  // Pixels whose centres lie inside the polygons under the fill rule, limited
  // to `limit` (so that a huge polygon costs no more than the device).
  static Region FromPolygons(const std::vector<std::vector<PointD>>& polygons, FillRule rule,
                             const RectI& limit);

  bool Empty() const noexcept { return bands_.empty(); }
  RectI Bounds() const noexcept;
  std::vector<RectI> Rects() const;
  std::size_t BandCount() const noexcept { return bands_.size(); }

  Region Combine(const Region& other, RegionOp op) const;
  void Offset(std::int32_t dx, std::int32_t dy);

  friend bool operator==(const Region&, const Region&) = default;

 private:
  struct Band {
    std::int32_t top = 0, bottom = 0;
    std::vector<std::int32_t> xs;  // sorted, disjoint [x0, x1) pairs
    friend bool operator==(const Band&, const Band&) = default;
  };
  void Append(std::int32_t top, std::int32_t bottom, std::vector<std::int32_t>&& xs);

  std::vector<Band> bands_;  // sorted by top, not overlapping
};

}  // namespace pravel::gdi
