#include "viewer/start_page_picture.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace pravel {

namespace {

// A printed sheet with a folded corner and lines of text, and a lens over it.
QImage DrawPicture() {
  QImage image(kStartPictureWidth, kStartPictureHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);

  const QColor outline(40, 60, 110);
  QPainterPath sheet;
  sheet.moveTo(12, 8);
  sheet.lineTo(78, 8);
  sheet.lineTo(100, 30);
  sheet.lineTo(100, 136);
  sheet.lineTo(12, 136);
  sheet.closeSubpath();
  p.fillPath(sheet.translated(4, 4), QColor(190, 195, 205));
  p.fillPath(sheet, QColor(245, 248, 255));
  p.setPen(QPen(outline, 2));
  p.drawPath(sheet);
  p.setBrush(QColor(210, 220, 240));
  p.drawPolygon(QPolygonF({QPointF(78, 8), QPointF(78, 30), QPointF(100, 30)}));

  p.setPen(QPen(QColor(200, 30, 30), 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(22, 22, 64, 22);
  p.setPen(QPen(QColor(120, 130, 150), 2, Qt::SolidLine, Qt::RoundCap));
  for (int row = 0; row < 9; ++row) {
    const int y = 40 + row * 10;
    p.drawLine(22, y, row % 3 == 2 ? 60 : 90, y);
  }

  p.setPen(QPen(outline, 3));
  p.setBrush(QColor(180, 220, 255, 140));
  p.drawEllipse(QPointF(70, 98), 20, 20);
  p.setPen(QPen(outline, 7, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(84, 112), QPointF(104, 134));
  return image;
}

}  // namespace

gdi::Bitmap StartPagePicture() {
  const QImage image = DrawPicture();
  gdi::Bitmap bitmap;
  bitmap.width = image.width();
  bitmap.height = image.height();
  bitmap.pixels.reserve(static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height));
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) bitmap.pixels.push_back(0xFF000000u | (image.pixel(x, y) & 0xFFFFFFu));
  }
  return bitmap;
}

}  // namespace pravel
