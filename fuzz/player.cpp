// Plays arbitrary bytes as a metafile onto a surface that only checks what
// it is given.
// fuzz-seeds: corpus/emf/valid
// fuzz-seeds: corpus/emf/corrupted

#include "platform/gdi/player.h"

#include <cstddef>
#include <cstdint>

#include "platform/gdi/region.h"

namespace {

using namespace pravel::gdi;

class CheckingSurface final : public Surface {
 public:
  void SetClip(const Region* clip) override {
    if (clip) (void)clip->Rects();
  }
  void FillPath(const Path& path, FillRule, const Brush& brush, Rop2) override {
    Check(path);
    if (brush.pattern) Check(*brush.pattern);
  }
  void StrokePath(const Path& path, const Pen&, Rop2) override { Check(path); }
  void DrawText(const TextRun& run) override {
    if (run.origins.size() != run.text.size() + 1) __builtin_trap();
  }
  void DrawImage(const ImageDraw& draw) override {
    if (!draw.image) __builtin_trap();
    Check(*draw.image);
  }

 private:
  static void Check(const Path& path) {
    std::size_t needed = 0;
    for (const PathVerb v : path.verbs) needed += v == PathVerb::CubicTo ? 3 : v == PathVerb::Close ? 0 : 1;
    if (needed != path.points.size()) __builtin_trap();
  }
  static void Check(const Image& image) {
    if (image.encoding == Image::Encoding::Raw &&
        image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
      __builtin_trap();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const Metafile metafile = Metafile::FromBytes(pravel::ByteSpan(data, size));
    CheckingSurface surface;
    PlayMetafile(metafile, surface, {0, 0, 400, 300});
  } catch (const pravel::EMetafileError&) {
  }
  return 0;
}
