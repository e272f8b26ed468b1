#include "preview/qr_preview_image.h"

#include <QMouseEvent>
#include <algorithm>
#include <QPaintEvent>
#include <QPainter>

#include "platform/qt/render.h"
#include "preview/error_handler.h"
#include "report/qr_printer.h"

namespace pravel {

namespace {

// Sheets up to this many device pixels are cached whole; larger ones only
// around the visible part.
constexpr qint64 kWholeSheetPixels = qint64{8} * 1024 * 1024;
// Extra logical pixels cached on each side of the visible part.
constexpr int kCacheMargin = 256;

}  // namespace

bool PaintPreviewSheet(QPainter& painter, const gdi::Metafile* page, QSize size) {
  if (page == nullptr) return false;
  const int w = size.width(), h = size.height();
  // The white rectangle from (1, 1) to (W-3, H-3), right and bottom excluded.
  painter.fillRect(QRect(1, 1, w - 4, h - 4), Qt::white);
  painter.save();
  const bool stopped = qt::PaintMetafile(painter, *page, QRectF(0, 0, w, h)).exhausted;
  painter.restore();
  // Frame: the lines (0,0)-(0,H-3)-(W-3,H-3)-(W-3,0)-(0,0).
  painter.fillRect(QRect(0, 0, 1, h - 2), Qt::black);
  painter.fillRect(QRect(0, h - 3, w - 2, 1), Qt::black);
  painter.fillRect(QRect(w - 3, 0, 1, h - 2), Qt::black);
  painter.fillRect(QRect(0, 0, w - 2, 1), Qt::black);
  // Shadow: (W-2, 2)-(W, H) and (2, H-2)-(W, H).
  painter.fillRect(QRect(w - 2, 2, 2, h - 2), Qt::black);
  painter.fillRect(QRect(2, h - 2, w - 2, 2), Qt::black);
  return stopped;
}

TQRPreviewImage::TQRPreviewImage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PageImage"));
  setGeometry(0, 0, 100, 50);
  setMouseTracking(true);
}

TQRPreviewImage::~TQRPreviewImage() = default;

void TQRPreviewImage::ShowPage(std::int32_t number) {
  page_number_ = number;
  metafile_.reset();
  image_ok_ = false;
  ++page_serial_;
  cache_ = QImage();
  if (printer_ != nullptr) {
    try {
      metafile_ = printer_->GetPage(number);
    } catch (...) {
      update();  // the previous page must not stay on screen
      throw;
    }
  }
  image_ok_ = metafile_.has_value();
  repaint();
}

bool TQRPreviewImage::CacheCovers(const QRect& area) const noexcept {
  return !cache_.isNull() && cache_page_ == page_serial_ && cache_size_ == size() &&
         cache_ratio_ == devicePixelRatio() && cache_area_.contains(area);
}

void TQRPreviewImage::RenderCache(const QRect& needed) {
  const qreal ratio = devicePixelRatio();
  const QRect sheet = rect();
  QRect area = sheet;
  if (static_cast<qreal>(sheet.width()) * sheet.height() * ratio * ratio > kWholeSheetPixels) {
    area = (visibleRegion().boundingRect() | needed)
               .adjusted(-kCacheMargin, -kCacheMargin, kCacheMargin, kCacheMargin) &
           sheet;
  }
  cache_ = QImage(area.size() * ratio, QImage::Format_ARGB32_Premultiplied);
  cache_area_ = area;
  cache_size_ = size();
  cache_ratio_ = ratio;
  cache_page_ = page_serial_;
  if (cache_.isNull()) return;
  cache_.setDevicePixelRatio(ratio);
  cache_.fill(Qt::transparent);
  QPainter painter(&cache_);
  painter.translate(-area.topLeft());
  const bool stopped = PaintPreviewSheet(painter, metafile_ ? &*metafile_ : nullptr, size());
  ++renders_;
  if (stopped && printer_ != nullptr) {
    const auto& noted = printer_->StoppedPages();
    if (std::find(noted.begin(), noted.end(), page_number_) == noted.end()) {
      printer_->NoteStoppedPage(page_number_);
      emit DrawingStopped(page_number_);
    }
  }
}

void TQRPreviewImage::paintEvent(QPaintEvent* event) {
  if (!image_ok_) return;
  const QRect needed = event->rect() & rect();
  if (needed.isEmpty()) return;
  if (!CacheCovers(needed)) RenderCache(needed);
  if (cache_.isNull()) return;
  QPainter painter(this);
  painter.drawImage(cache_area_.topLeft(), cache_);
  painter.end();
  emit PagePainted();
}

void TQRPreviewImage::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
  if (Handlers.OnMouseDown) Guarded([&] { Handlers.OnMouseDown(*event); });
}

void TQRPreviewImage::mouseMoveEvent(QMouseEvent* event) {
  if (Handlers.OnMouseMove) Guarded([&] { Handlers.OnMouseMove(*event); });
}

void TQRPreviewImage::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = event->button() == Qt::LeftButton && pressed_ && rect().contains(event->position().toPoint());
  if (event->button() == Qt::LeftButton) pressed_ = false;
  if (click && Handlers.OnClick) Guarded(Handlers.OnClick);
  if (Handlers.OnMouseUp) Guarded([&] { Handlers.OnMouseUp(*event); });
}

void TQRPreviewImage::mouseDoubleClickEvent(QMouseEvent* event) {
  pressed_ = false;
  if (Handlers.OnDblClick) Guarded(Handlers.OnDblClick);
  if (Handlers.OnMouseDown) Guarded([&] { Handlers.OnMouseDown(*event); });
}

}  // namespace pravel
