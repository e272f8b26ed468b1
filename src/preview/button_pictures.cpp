#include "preview/button_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <functional>
#include <map>

namespace pravel {

namespace {

// Every picture is drawn on a 16 x 16 grid.
constexpr int kGrid = 16;
const QColor kInk(0, 0, 96);
const QColor kPaper(255, 255, 255);
const QColor kBody(192, 192, 192);

using Drawing = std::function<void(QPainter&)>;

void Triangle(QPainter& p, QPointF a, QPointF b, QPointF c) {
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawPolygon(QPolygonF({a, b, c}));
}

void Bar(QPainter& p, qreal x) {
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawRect(QRectF(x, 3, 2, 10));
}

void Sheet(QPainter& p, const QRectF& r) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(kPaper);
  p.drawRect(r);
  p.setPen(QPen(QColor(128, 128, 128), 1));
  for (int line = 0; r.top() + 3 + 2 * line < r.bottom() - 1; ++line) {
    const qreal y = r.top() + 3 + 2 * line;
    p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
  }
}

void Magnifier(QPainter& p, const std::function<void(QPainter&)>& mark) {
  p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
  p.setPen(QPen(kInk, 1.2));
  p.setBrush(QColor(224, 240, 255));
  p.drawEllipse(QPointF(6.5, 6.5), 5, 5);
  p.setPen(QPen(kInk, 1.5));
  mark(p);
}

void Printer(QPainter& p) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(kPaper);
  p.drawRect(QRectF(4.5, 1.5, 7, 5));  // sheet going in
  p.setBrush(kBody);
  p.drawRect(QRectF(1.5, 6.5, 13, 6));  // body
  p.setBrush(kPaper);
  p.drawRect(QRectF(4.5, 10.5, 7, 4));  // sheet coming out
  p.setPen(QPen(QColor(0, 160, 0), 1));
  p.drawPoint(QPointF(12.5, 8.5));
}

void Arrow(QPainter& p, qreal y) {
  p.setPen(QPen(QColor(192, 0, 0), 1.2));
  p.drawLine(QPointF(1.5, y), QPointF(14.5, y));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(192, 0, 0));
  p.drawPolygon(QPolygonF({QPointF(0.5, y), QPointF(3.5, y - 2.5), QPointF(3.5, y + 2.5)}));
  p.drawPolygon(QPolygonF({QPointF(15.5, y), QPointF(12.5, y - 2.5), QPointF(12.5, y + 2.5)}));
}

const std::map<QString, Drawing>& Drawings() {
  static const std::map<QString, Drawing> drawings{
      {QStringLiteral("QRFIRSTPAGEBITMAP"),
       [](QPainter& p) {
         Bar(p, 3);
         Triangle(p, {12, 3}, {12, 13}, {6, 8});
       }},
      {QStringLiteral("QRPREVPAGEBITMAP"),
       [](QPainter& p) {
         Triangle(p, {10.5, 3}, {10.5, 13}, {4.5, 8});
       }},
      {QStringLiteral("QRNEXTPAGEBITMAP"),
       [](QPainter& p) {
         Triangle(p, {5.5, 3}, {5.5, 13}, {11.5, 8});
       }},
      {QStringLiteral("QRLASTPAGEBITMAP"),
       [](QPainter& p) {
         Triangle(p, {4, 3}, {4, 13}, {10, 8});
         Bar(p, 11);
       }},
      {QStringLiteral("QRZOOMTOFITBITMAP"), [](QPainter& p) { Sheet(p, QRectF(3.5, 0.5, 9, 15)); }},
      {QStringLiteral("QRZOOMTO100BITMAP"),
       [](QPainter& p) {
         Magnifier(p, [](QPainter& q) {
           q.drawLine(QPointF(6.5, 3.5), QPointF(6.5, 9.5));
           q.drawLine(QPointF(6.5, 3.5), QPointF(5, 5));
         });
       }},
      {QStringLiteral("QRZOOMTOWIDTHBITMAP"),
       [](QPainter& p) {
         Sheet(p, QRectF(2.5, 0.5, 11, 15));
         Arrow(p, 8);
       }},
      {QStringLiteral("QRPRINTSETUPBITMAP"),
       [](QPainter& p) {
         Printer(p);
         p.setPen(QPen(kInk, 1.5));
         p.drawLine(QPointF(6, 12.5), QPointF(10, 12.5));
         p.drawLine(QPointF(8, 10.5), QPointF(8, 14.5));
       }},
      {QStringLiteral("QRPRINTBITMAP"), [](QPainter& p) { Printer(p); }},
      {QStringLiteral("QRSAVEBITMAP"),
       [](QPainter& p) {
         p.setPen(QPen(kInk, 1));
         p.setBrush(QColor(32, 64, 160));
         p.drawRect(QRectF(1.5, 1.5, 13, 13));
         p.setBrush(kPaper);
         p.drawRect(QRectF(3.5, 1.5, 9, 6));  // label
         p.setBrush(kBody);
         p.drawRect(QRectF(4.5, 10.5, 7, 4));  // shutter
       }},
      {QString::fromLatin1(kOpenPicture),
       [](QPainter& p) {
         p.setPen(QPen(kInk, 1));
         p.setBrush(QColor(240, 208, 96));
         p.drawPolygon(QPolygonF({QPointF(1.5, 3.5), QPointF(5.5, 3.5), QPointF(7, 5), QPointF(13.5, 5),
                                  QPointF(13.5, 13.5), QPointF(1.5, 13.5)}));
         p.setBrush(QColor(255, 232, 144));
         p.drawPolygon(QPolygonF({QPointF(3.5, 7.5), QPointF(15.5, 7.5), QPointF(13.5, 13.5), QPointF(1.5, 13.5)}));
       }},
      {QString::fromLatin1(kZoomOutPicture),
       [](QPainter& p) { Magnifier(p, [](QPainter& q) { q.drawLine(QPointF(3.5, 6.5), QPointF(9.5, 6.5)); }); }},
      {QString::fromLatin1(kZoomInPicture),
       [](QPainter& p) {
         Magnifier(p, [](QPainter& q) {
           q.drawLine(QPointF(3.5, 6.5), QPointF(9.5, 6.5));
           q.drawLine(QPointF(6.5, 3.5), QPointF(6.5, 9.5));
         });
       }},
  };
  return drawings;
}

QPixmap Draw(const Drawing& drawing, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing, size > kGrid);
  painter.scale(static_cast<qreal>(size) / kGrid, static_cast<qreal>(size) / kGrid);
  drawing(painter);
  return pixmap;
}

}  // namespace

QStringList ButtonPictureNames() {
  return {QStringLiteral("QRFIRSTPAGEBITMAP"),   QStringLiteral("QRPREVPAGEBITMAP"),
          QStringLiteral("QRNEXTPAGEBITMAP"),    QStringLiteral("QRLASTPAGEBITMAP"),
          QStringLiteral("QRZOOMTOFITBITMAP"),   QStringLiteral("QRZOOMTO100BITMAP"),
          QStringLiteral("QRZOOMTOWIDTHBITMAP"), QStringLiteral("QRPRINTSETUPBITMAP"),
          QStringLiteral("QRPRINTBITMAP"),       QStringLiteral("QRSAVEBITMAP")};
}

QIcon ButtonPicture(QStringView name) {
  const auto& drawings = Drawings();
  const auto found = drawings.find(name.toString());
  if (found == drawings.end()) return {};
  QIcon icon;
  for (const int size : {kGrid, 2 * kGrid}) icon.addPixmap(Draw(found->second, size));
  return icon;
}

}  // namespace pravel
