#pragma once
// The work one play of a page may ask for: counters of the expensive
// operations and their limits. Once a charge goes past its limit the budget
// stays exhausted and the player stops drawing.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pravel::gdi {

enum class Work : std::uint8_t {
  PicturePixels,  // pixels of pictures decoded or converted for drawing
  DrawnArea,      // area painted, in millionths of the target's area
  PathPoints,     // points handed to fills and strokes, flattened or widened
  RegionSpans,    // spans of regions built, combined or applied as clip
  CopiedState,    // saved states and the pen dashes they and selections copy
  Glyphs,         // characters of text runs
  Fonts,          // changes of the font that text is drawn with
  Operations,     // drawing calls on the surface
  PatternPixels,  // pixels of pattern brushes made
  FillRows,       // rows crossed by the edges of filled figures
};
inline constexpr std::size_t kWorkKinds = 10;

std::string_view WorkName(Work kind) noexcept;

struct WorkBudget {
  std::array<std::uint64_t, kWorkKinds> used{};
  std::array<std::uint64_t, kWorkKinds> limit = DefaultLimits();
  bool exhausted = false;

  // Adds `amount` (saturating); false, and exhausted from then on, when the
  // kind goes past its limit.
  bool Charge(Work kind, std::uint64_t amount) noexcept;
  std::uint64_t Used(Work kind) const noexcept { return used[static_cast<std::size_t>(kind)]; }

  static std::array<std::uint64_t, kWorkKinds> DefaultLimits() noexcept;
};

// The budget for a target that does not scan-convert (a PDF or print job) at
// `dpi` device units per inch. The rows that filled edges cross grow with the
// resolution and cost such a target nothing, so their limit grows with it
// beyond 96 dpi: a page may cross as many rows as on a 96-dpi raster page.
WorkBudget VectorTargetBudget(double dpi) noexcept;

// What a caller shows for page `page` whose budget ran out.
inline constexpr std::string_view kWorkExhaustedText = "drawing stopped, the page asks for too much work";

}  // namespace pravel::gdi
