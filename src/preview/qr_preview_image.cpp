#include "preview/qr_preview_image.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

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

bool PaintPreviewSheet(QPainter& painter, const gdi::Metafile* page, QSize size, bool smooth_text) {
  if (page == nullptr) return false;
  const int w = size.width(), h = size.height();
  // The white rectangle from (1, 1) to (W-3, H-3), right and bottom excluded.
  painter.fillRect(QRect(1, 1, w - 4, h - 4), Qt::white);
  painter.save();
  const bool stopped = qt::PaintMetafile(painter, *page, QRectF(0, 0, w, h), {.smooth_text = smooth_text}).exhausted;
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
  runs_.reset();
  selection_.clear();
  hits_.clear();
  current_hit_ = -1;
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
    area =
        (visibleRegion().boundingRect() | needed).adjusted(-kCacheMargin, -kCacheMargin, kCacheMargin, kCacheMargin) &
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
  const bool stopped = PaintPreviewSheet(painter, metafile_ ? &*metafile_ : nullptr, size(), smooth_text_);
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
  PaintMarks(painter);
  painter.end();
  emit PagePainted();
}

void TQRPreviewImage::SetSmoothText(bool smooth) {
  if (smooth == smooth_text_) return;
  smooth_text_ = smooth;
  cache_ = QImage();
  update();
}

void TQRPreviewImage::SetHits(std::vector<QRectF> hits, int current) {
  hits_ = std::move(hits);
  current_hit_ = current;
  update();
}

const std::vector<PageRun>& TQRPreviewImage::Runs() {
  if (!runs_) runs_ = metafile_ ? PageRuns(*metafile_) : std::vector<PageRun>{};
  return *runs_;
}

QRect TQRPreviewImage::SheetRect(const QRectF& fraction) const {
  const double w = width(), h = height();
  return QRectF(fraction.left() * w, fraction.top() * h, fraction.width() * w, fraction.height() * h).toAlignedRect();
}

void TQRPreviewImage::SelectArea(const QRect& area) {
  selection_.clear();
  if (!area.isEmpty()) {
    for (const PageRun& run : Runs()) {
      if (SheetRect(run.box).intersects(area)) selection_.push_back(run);
    }
  }
  update();
}

void TQRPreviewImage::SelectAll() {
  selection_ = Runs();
  update();
}

QString TQRPreviewImage::SelectedText() const { return ReadingText(selection_); }

void TQRPreviewImage::PaintMarks(QPainter& painter) const {
  if (dragging_) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
    painter.drawRect(QRect(press_at_, drag_to_).normalized());
  }
  QColor selected = palette().color(QPalette::Highlight);
  selected.setAlpha(80);
  for (const PageRun& run : selection_) painter.fillRect(SheetRect(run.box), selected);
  for (std::size_t k = 0; k < hits_.size(); ++k) {
    const bool current = static_cast<int>(k) == current_hit_;
    painter.setPen(QPen(current ? QColor(230, 120, 0) : QColor(240, 190, 0), current ? 2 : 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(SheetRect(hits_[k]).adjusted(-1, -1, 1, 1));
  }
}

void TQRPreviewImage::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    pressed_ = true;
    press_at_ = event->position().toPoint();
    dragging_ = false;
  }
  if (Handlers.OnMouseDown) Guarded([&] { Handlers.OnMouseDown(*event); });
}

void TQRPreviewImage::mouseMoveEvent(QMouseEvent* event) {
  if (pressed_ && (event->buttons() & Qt::LeftButton) &&
      (event->position().toPoint() - press_at_).manhattanLength() >= QApplication::startDragDistance()) {
    dragging_ = true;
    drag_to_ = event->position().toPoint();
    SelectArea(QRect(press_at_, event->position().toPoint()).normalized());
  }
  if (Handlers.OnMouseMove) Guarded([&] { Handlers.OnMouseMove(*event); });
}

void TQRPreviewImage::mouseReleaseEvent(QMouseEvent* event) {
  bool click = event->button() == Qt::LeftButton && pressed_ && rect().contains(event->position().toPoint());
  if (event->button() == Qt::LeftButton) {
    pressed_ = false;
    if (dragging_) {
      // A drag selects and is no click.
      dragging_ = false;
      click = false;
      SelectArea(QRect(press_at_, event->position().toPoint()).normalized());
    }
  }
  if (click && Handlers.OnClick) Guarded(Handlers.OnClick);
  if (Handlers.OnMouseUp) Guarded([&] { Handlers.OnMouseUp(*event); });
}

void TQRPreviewImage::mouseDoubleClickEvent(QMouseEvent* event) {
  pressed_ = false;
  if (Handlers.OnDblClick) Guarded(Handlers.OnDblClick);
  if (Handlers.OnMouseDown) Guarded([&] { Handlers.OnMouseDown(*event); });
}

}  // namespace pravel
