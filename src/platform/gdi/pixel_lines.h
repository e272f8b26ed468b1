#pragma once
// The pixels GDI sets for a one-pixel pen on a bitmap.

#include <cstdint>
#include <vector>

#include "platform/gdi/geometry.h"
#include "platform/gdi/surface.h"

namespace pravel::gdi {

struct Pixel {
  std::int32_t x = 0, y = 0;
  friend bool operator==(const Pixel&, const Pixel&) = default;
};

// The pixels of `path` stroked one pixel wide through whole-pixel points, in
// drawing order, those whose major coordinate lies outside `device` left out.
// Each line steps along its major axis with ties towards the start and
// leaves out its last pixel; a closed figure adds its closing edge and its
// first pixel. Coordinates must lie within +-2^24.
std::vector<Pixel> PixelLinePixels(const Path& path, const RectI& device);

// Whether every point of `path` is small enough for PixelLinePixels.
bool WithinPixelRange(const Path& path) noexcept;

}  // namespace pravel::gdi
