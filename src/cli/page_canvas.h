#pragma once
// A page image whose memory one worker keeps from page to page: a page then
// touches fresh memory (page faults, the system clearing it) only when it is
// larger than any before it.

#include <QImage>
#include <QSize>
#include <cstddef>
#include <memory>

#include "platform/gdi/metafile.h"
#include "platform/qt/painter_surface.h"

namespace pravel::cli {

struct PageCanvas {
  struct Free {
    void operator()(void* memory) const;
  };
  std::unique_ptr<void, Free> memory;
  std::size_t capacity = 0;
};

// The page drawn on a white image of `size` in the canvas's memory, as
// qt::RenderImage draws it; valid until the canvas draws again. A null image
// when the memory cannot be had. `stopped` tells whether drawing stopped on
// the page's work budget.
QImage DrawOnCanvas(PageCanvas& canvas, const gdi::Metafile& metafile, QSize size, qt::SurfaceOptions options,
                    bool& stopped);

}  // namespace pravel::cli
