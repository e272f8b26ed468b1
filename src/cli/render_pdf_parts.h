#pragma once
// A PDF document drawn on several threads: each thread draws a run of
// consecutive pages into a part of its own beside the output, and the parts
// are joined in page order.

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/metafile.h"
#include "platform/qt/painter_surface.h"
#include "platform/qt/render.h"

namespace pravel::cli {

struct PdfPartsRequest {
  int first = 1, last = 1, jobs = 2;
  std::string output;
  qt::SurfaceOptions surface;
  // Opens the input once more for one part, so that each part reads its
  // pages in ascending order from its own file position. The function it
  // returns throws for a damaged page.
  std::function<std::function<gdi::Metafile(int page)>()> open_source;
  std::function<std::unique_ptr<qt::PdfDocument>(const QString& path)> make_document;
  std::function<void(int pages_done)> progress;  // on the calling thread
};

struct PdfPartsOutcome {
  int damaged_page = 0;                     // the first page that could not be read, or 0
  std::string damage;                       // why
  bool written = true;                      // false when the document could not be written
  std::vector<std::int32_t> stopped_pages;  // pages whose drawing stopped on their work budget
};

// Pages before a damaged page are written; none after it.
PdfPartsOutcome RenderPdfInParts(const PdfPartsRequest& request);

}  // namespace pravel::cli
