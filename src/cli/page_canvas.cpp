#include "cli/page_canvas.h"

#include <sys/mman.h>

#include <QPainter>
#include <cstdlib>

#include "platform/qt/render.h"

namespace pravel::cli {

namespace {

// From half a megabyte on, the pixels lie on huge pages where the system
// offers them.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

void* Allocate(std::size_t bytes) {
  if (bytes < kHugePage / 4) return std::malloc(bytes);
  const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* memory = std::aligned_alloc(kHugePage, rounded);
  if (memory != nullptr) ::madvise(memory, rounded, MADV_HUGEPAGE);
  return memory;
}

}  // namespace

void PageCanvas::Free::operator()(void* memory) const { std::free(memory); }

QImage DrawOnCanvas(PageCanvas& canvas, const gdi::Metafile& metafile, QSize size, qt::SurfaceOptions options,
                    bool& stopped) {
  stopped = false;
  if (size.isEmpty() || size.width() > (1 << 20)) return {};
  const auto bytes = static_cast<std::size_t>(size.width()) * static_cast<std::size_t>(size.height()) * 4;
  if (bytes > canvas.capacity) {
    canvas.memory.reset();
    canvas.capacity = 0;
    canvas.memory.reset(Allocate(bytes));
    if (!canvas.memory) return {};
    canvas.capacity = bytes;
  }
  QImage image(static_cast<uchar*>(canvas.memory.get()), size.width(), size.height(), size.width() * 4,
               QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  stopped = qt::PaintMetafile(painter, metafile, QRectF(0, 0, size.width(), size.height()), options).exhausted;
  painter.end();
  return image;
}

}  // namespace pravel::cli
