#include "platform/gdi/work_budget.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pravel::gdi {

std::string_view WorkName(Work kind) noexcept {
  switch (kind) {
    case Work::PicturePixels: return "picture pixels";
    case Work::DrawnArea: return "drawn area (ppm of the page)";
    case Work::PathPoints: return "path points";
    case Work::RegionSpans: return "region spans";
    case Work::CopiedState: return "copied state";
    case Work::Glyphs: return "glyphs";
    case Work::Fonts: return "font changes";
    case Work::Operations: return "operations";
    case Work::PatternPixels: return "pattern pixels";
    case Work::FillRows: return "fill edge rows";
  }
  return "?";
}

std::array<std::uint64_t, kWorkKinds> WorkBudget::DefaultLimits() noexcept {
  // Each at least 50 times the largest use of any page of the corpora, but
  // the fill rows.
  // Largest use over the corpora's 144 pages, 96 dpi: picture pixels 1.49 M,
  // area 6.9 pages, path points 85 k, region spans 1.3 k, copied state 233,
  // glyphs 3.7 k, font changes 54, operations 21 k, pattern pixels 1.2 k,
  // fill edge rows 266 k.
  return {
      std::uint64_t{80'000'000},   // PicturePixels
      std::uint64_t{400'000'000},  // DrawnArea: 400 pages
      std::uint64_t{5'000'000},    // PathPoints
      std::uint64_t{100'000},      // RegionSpans
      std::uint64_t{1'000'000},    // CopiedState
      std::uint64_t{500'000},      // Glyphs
      std::uint64_t{3'000},        // Fonts
      std::uint64_t{1'100'000},    // Operations
      std::uint64_t{4'000'000},    // PatternPixels
      std::uint64_t{4'000'000},    // FillRows: 15 times only, Qt's fill of edges that cross costs ~1 us a row
  };
}

WorkBudget VectorTargetBudget(double dpi) noexcept {
  WorkBudget budget;
  const double scale = std::isfinite(dpi) ? std::clamp(dpi / 96, 1.0, 50.0) : 1.0;
  auto& rows = budget.limit[static_cast<std::size_t>(Work::FillRows)];
  rows = static_cast<std::uint64_t>(static_cast<double>(rows) * scale);
  return budget;
}

bool WorkBudget::Charge(Work kind, std::uint64_t amount) noexcept {
  if (exhausted) return false;
  auto& u = used[static_cast<std::size_t>(kind)];
  u = amount > std::numeric_limits<std::uint64_t>::max() - u ? std::numeric_limits<std::uint64_t>::max() : u + amount;
  if (u > limit[static_cast<std::size_t>(kind)]) exhausted = true;
  return !exhausted;
}

}  // namespace pravel::gdi
