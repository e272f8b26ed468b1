#pragma once
// The About box's two pictures, drawn stretched over the given rectangles.

#include <QRectF>

class QPainter;

namespace pravel {

// A report page under a magnifying glass.
void PaintReportPicture(QPainter& painter, const QRectF& frame);

// A printer with a printed sheet coming out.
void PaintPrinterPicture(QPainter& painter, const QRectF& frame);

}  // namespace pravel
