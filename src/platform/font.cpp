#include "platform/font.h"

#include <array>

namespace pravel {

std::uint32_t ColorToRgb(ColorValue c) noexcept {
  if (!IsSystemColor(c)) return static_cast<std::uint32_t>(c) & 0xFFFFFFu;
  // Classic desktop scheme, indexed by system colour number.
  static constexpr std::array<std::uint32_t, 31> kSystem{
      0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000, 0x000000, 0xFFFFFF, 0xC8D0D4,
      0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4, 0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040,
      0xC8D0D4, 0x000000, 0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xFF9933, 0xC8D0D4};
  const auto index = static_cast<std::uint32_t>(c) & 0xFFu;
  return index < kSystem.size() ? kSystem[index] : 0;
}

}  // namespace pravel
