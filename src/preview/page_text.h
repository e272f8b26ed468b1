#pragma once
// The text runs of a page as the preview places them: each run's text and
// its cell in fractions of the sheet, so that they hold at any zoom.

#include <QRectF>
#include <QString>
#include <vector>

#include "platform/gdi/metafile.h"

namespace pravel {

struct PageRun {
  QString text;
  QRectF box;  // left, top, width, height as fractions of the sheet (0..1)
};

// The runs of `page` in drawing order, read by the export text collector.
std::vector<PageRun> PageRuns(const gdi::Metafile& page);

// The runs' text in reading order: top to bottom, runs whose cells share a
// line joined left to right by a space, one line per text line.
QString ReadingText(std::vector<PageRun> runs);

}  // namespace pravel
