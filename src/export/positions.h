#pragma once
// The distinct positions of one axis of a page, numbered in ascending order.
// Positions are told apart by their value rounded to whole tenths of a
// millimetre (halves to even).

#include <cstdint>
#include <map>
#include <vector>

namespace pravel {

struct TQRPositionEntry {
  long double Position = 0;  // the first exact value added for its rounded value
  std::int32_t Number = 0;   // 0 until numbered, and for positions out of bounds
  bool Numbered = false;
};

class TQRPositions {
 public:
  // Positions outside (0, kUpperBound) get no number.
  static constexpr long double kUpperBound = 9999999.0L;

  void BeginUpdate() noexcept { updating_ = true; }
  // Ignored unless updating, and when the rounded value is already known.
  void Add(long double position);
  // Ends updating and numbers the entries 1, 2, ... by ascending position.
  void EndUpdate();
  // The number of the position's rounded value; 0 when unknown.
  std::int32_t NumberOf(long double position) const;

  const std::vector<TQRPositionEntry>& Entries() const noexcept { return entries_; }

 private:
  std::vector<TQRPositionEntry> entries_;
  std::map<long double, std::size_t> by_rounded_;  // rounded value -> entry index
  bool updating_ = false;
};

}  // namespace pravel
