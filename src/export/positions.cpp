#include "export/positions.h"

#include <algorithm>
#include <cmath>

#include "platform/rounding.h"

namespace pravel {

void TQRPositions::Add(long double position) {
  if (!updating_) return;
  const long double rounded = RoundHalfEvenExtended(position);
  // A NaN equals nothing: its entry would never be found nor numbered.
  if (std::isnan(rounded) || by_rounded_.contains(rounded)) return;
  by_rounded_.emplace(rounded, entries_.size());
  entries_.push_back({position, 0, false});
}

void TQRPositions::EndUpdate() {
  updating_ = false;
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const long double p = entries_[i].Position;
    if (!entries_[i].Numbered && p > 0 && p < kUpperBound) order.push_back(i);
  }
  std::stable_sort(order.begin(), order.end(),
                   [this](std::size_t a, std::size_t b) { return entries_[a].Position < entries_[b].Position; });
  std::int32_t next = 0;
  for (const std::size_t i : order) {
    entries_[i].Number = ++next;
    entries_[i].Numbered = true;
  }
}

std::int32_t TQRPositions::NumberOf(long double position) const {
  const long double rounded = RoundHalfEvenExtended(position);
  if (std::isnan(rounded)) return 0;
  const auto it = by_rounded_.find(rounded);
  return it == by_rounded_.end() ? 0 : entries_[it->second].Number;
}

}  // namespace pravel
