#include "platform/gdi/picture_cache.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace pravel::gdi {

namespace {

std::size_t HashOf(const DibPayload& p) noexcept {
  const auto view = [](ByteSpan s) { return std::string_view(reinterpret_cast<const char*>(s.data()), s.size()); };
  const std::hash<std::string_view> hash;
  return hash(view(p.header)) ^ (hash(view(p.bits)) * 31) ^ p.usage;
}

bool SameBytes(ByteSpan a, ByteSpan b) noexcept { return std::ranges::equal(a, b); }

bool Same(const DibPayload& a, const DibPayload& b) noexcept {
  return a.usage == b.usage && SameBytes(a.header, b.header) && SameBytes(a.bits, b.bits);
}

}  // namespace

std::optional<DecodedDib> PictureCache::Find(const DibPayload& payload) const {
  const auto [first, last] = entries_.equal_range(HashOf(payload));
  for (auto it = first; it != last; ++it)
    if (Same(it->second.payload, payload)) return it->second.picture;
  return std::nullopt;
}

void PictureCache::Add(const DibPayload& payload, const DecodedDib& picture) {
  if (!picture.image) return;
  entries_.emplace(HashOf(payload), Entry{payload, picture});
  drawn_.emplace(picture.image.get(), false);
}

bool PictureCache::FirstDraw(const Image* image) {
  const auto it = drawn_.find(image);
  if (it == drawn_.end()) return true;
  return !std::exchange(it->second, true);
}

}  // namespace pravel::gdi
