#pragma once
// The pictures one play of a page has decoded, by their payload: records
// that carry the same bitmap share one decoded picture.

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/bytes.h"
#include "platform/gdi/surface.h"

namespace pravel::gdi {

struct DecodedDib {
  std::shared_ptr<Image> image;
  std::shared_ptr<std::vector<std::uint8_t>> mono;  // 1-bit sources: the index of each pixel
  bool bottom_up = true;
};

// A bitmap as a record carries it. The bytes stay in the metafile, which
// outlives the play.
struct DibPayload {
  ByteSpan header, bits;
  std::uint32_t usage = 0;
};

class PictureCache {
 public:
  // The picture decoded from an equal payload, if any. Its image is shared:
  // callers must not change it.
  std::optional<DecodedDib> Find(const DibPayload& payload) const;
  void Add(const DibPayload& payload, const DecodedDib& picture);
  // True the first time a picture of the cache is drawn, and for any
  // picture not from it.
  bool FirstDraw(const Image* image);

 private:
  struct Entry {
    DibPayload payload;
    DecodedDib picture;
  };
  std::unordered_multimap<std::size_t, Entry> entries_;
  std::unordered_map<const Image*, bool> drawn_;
};

}  // namespace pravel::gdi
