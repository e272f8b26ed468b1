#pragma once
// A set of device pixels held as horizontal bands of spans, as GDI regions
// are: clip regions, region records and clip paths all become one. Copies
// share their bands.

#include <algorithm>
#include <cstdint>
#include <memory>
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
  static Region FromPolygons(const std::vector<std::vector<PointD>>& polygons, FillRule rule, const RectI& limit);

  bool Empty() const noexcept { return View().empty(); }
  RectI Bounds() const noexcept;
  std::vector<RectI> Rects() const;
  std::size_t BandCount() const noexcept { return View().size(); }
  // Spans over all bands: the cost of copying or combining the region.
  std::size_t SpanCount() const noexcept;

  Region Combine(const Region& other, RegionOp op) const;
  void Offset(std::int32_t dx, std::int32_t dy);

  friend bool operator==(const Region& a, const Region& b) {
    return std::equal(a.View().begin(), a.View().end(), b.View().begin(), b.View().end());
  }

 private:
  struct Band {
    std::int32_t top = 0, bottom = 0;
    std::vector<std::int32_t> xs;  // sorted, disjoint [x0, x1) pairs
    friend bool operator==(const Band&, const Band&) = default;
  };
  using Bands = std::vector<Band>;  // sorted by top, not overlapping
  static void Append(Bands& bands, std::int32_t top, std::int32_t bottom, std::vector<std::int32_t>&& xs);
  static Region Of(Bands&& bands);
  std::span<const Band> View() const noexcept {
    return bands_ ? std::span<const Band>(*bands_) : std::span<const Band>();
  }

  // Shared between copies (saved states keep the clip of their time) and
  // never changed once built; none when empty.
  std::shared_ptr<const Bands> bands_;
};

}  // namespace pravel::gdi
