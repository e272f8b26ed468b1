#include "viewer/about_pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace pravel {

namespace {

// Maps a 100 x 100 design square onto the frame, stretched like a picture.
void StretchOver(QPainter& painter, const QRectF& frame) {
  painter.translate(frame.topLeft());
  painter.scale(frame.width() / 100.0, frame.height() / 100.0);
}

void PaintTextLines(QPainter& painter, qreal left, qreal top, qreal width, int count) {
  painter.setPen(QPen(QColor(120, 130, 150), 2.0, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < count; ++i) {
    const qreal y = top + i * 7.0;
    const qreal length = (i % 3 == 2) ? width * 0.6 : width;
    painter.drawLine(QPointF(left, y), QPointF(left + length, y));
  }
}

}  // namespace

void PaintReportPicture(QPainter& painter, const QRectF& frame) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  StretchOver(painter, frame);

  // Two sheets, the back one offset, with a folded corner on the front one.
  painter.setPen(QPen(QColor(70, 80, 100), 1.2));
  painter.setBrush(QColor(214, 224, 238));
  painter.drawRect(QRectF(18, 4, 58, 76));
  QPainterPath sheet;
  sheet.moveTo(8, 12);
  sheet.lineTo(54, 12);
  sheet.lineTo(68, 26);
  sheet.lineTo(68, 90);
  sheet.lineTo(8, 90);
  sheet.closeSubpath();
  painter.setBrush(QColor(250, 250, 246));
  painter.drawPath(sheet);
  painter.setBrush(QColor(200, 210, 226));
  painter.drawPolygon(QPolygonF({QPointF(54, 12), QPointF(54, 26), QPointF(68, 26)}));

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(200, 30, 30));
  painter.drawRect(QRectF(15, 20, 30, 5));
  PaintTextLines(painter, 15, 34, 44, 7);

  // The magnifying glass over the lower right corner.
  painter.setPen(QPen(QColor(90, 60, 30), 7.0, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(80, 82), QPointF(94, 96));
  painter.setPen(QPen(QColor(60, 70, 90), 4.0));
  painter.setBrush(QColor(170, 215, 245, 170));
  painter.drawEllipse(QPointF(66, 68), 17, 17);
  painter.restore();
}

void PaintPrinterPicture(QPainter& painter, const QRectF& frame) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  StretchOver(painter, frame);

  // Paper tray at the back, the body, then the sheet coming out at the front.
  painter.setPen(QPen(QColor(60, 60, 70), 1.2));
  painter.setBrush(QColor(250, 250, 246));
  painter.drawRect(QRectF(24, 4, 52, 36));
  PaintTextLines(painter, 30, 12, 40, 3);

  painter.setPen(QPen(QColor(50, 55, 70), 1.2));
  painter.setBrush(QColor(120, 130, 150));
  painter.drawRoundedRect(QRectF(6, 36, 88, 34), 6, 6);
  painter.setBrush(QColor(80, 88, 105));
  painter.drawRect(QRectF(16, 56, 68, 6));
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(60, 200, 80));
  painter.drawEllipse(QPointF(84, 44), 3, 3);

  painter.setPen(QPen(QColor(60, 60, 70), 1.2));
  painter.setBrush(QColor(250, 250, 246));
  painter.drawRect(QRectF(20, 60, 60, 36));
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(200, 30, 30));
  painter.drawRect(QRectF(26, 66, 22, 4));
  PaintTextLines(painter, 26, 76, 46, 3);
  painter.restore();
}

}  // namespace pravel
