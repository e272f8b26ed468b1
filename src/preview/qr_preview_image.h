#pragma once
// The page image inside a preview control: one page of the attached report
// printer, drawn as a white sheet with a black frame and a two-pixel shadow.
// The page is played once into a cached image at the current size and zoom;
// repaints and scrolling only copy from it.

#include <QImage>
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

#include "platform/gdi/metafile.h"

class QMouseEvent;
class QPainter;

namespace pravel {

class TQRPrinter;

// Mouse handlers of a preview control, copied to its page image when a
// printer is attached.
struct TQRMouseHandlers {
  std::function<void()> OnClick;
  std::function<void()> OnDblClick;
  std::function<void(QMouseEvent& event)> OnMouseDown;
  std::function<void(QMouseEvent& event)> OnMouseMove;
  std::function<void(QMouseEvent& event)> OnMouseUp;
};

// Paints the sheet of `size` pixels: a white rectangle, the page stretched
// over the whole sheet, the frame and the shadow. Without a page nothing is
// painted. True when drawing the page stopped on its work budget.
bool PaintPreviewSheet(QPainter& painter, const gdi::Metafile* page, QSize size);

class TQRPreviewImage final : public QWidget {
  Q_OBJECT

 public:
  explicit TQRPreviewImage(QWidget* parent = nullptr);
  ~TQRPreviewImage() override;
  TQRPreviewImage(const TQRPreviewImage&) = delete;
  TQRPreviewImage& operator=(const TQRPreviewImage&) = delete;

  // Takes page `number` afresh from the printer and paints at once.
  void ShowPage(std::int32_t number);

  TQRPrinter* QRPrinter() const noexcept { return printer_; }
  void SetQRPrinter(TQRPrinter* printer) noexcept { printer_ = printer; }
  std::int32_t PageNumber() const noexcept { return page_number_; }
  bool ImageOK() const noexcept { return image_ok_; }
  const std::optional<gdi::Metafile>& Metafile() const noexcept { return metafile_; }
  // The preview's zoom at the last layout; not used for painting.
  std::int32_t Zoom() const noexcept { return zoom_; }
  void SetZoom(std::int32_t zoom) noexcept { zoom_ = zoom; }

  // How many times the page was played into the cache, and the part of
  // the sheet the cache holds.
  std::uint64_t RenderCount() const noexcept { return renders_; }
  QRect CachedArea() const noexcept { return cache_area_; }

  TQRMouseHandlers Handlers;

 signals:
  // A page was drawn on screen.
  void PagePainted();
  // Drawing page `number` stopped on its work budget; told once per page.
  void DrawingStopped(std::int32_t number);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  bool CacheCovers(const QRect& area) const noexcept;
  void RenderCache(const QRect& needed);

  TQRPrinter* printer_ = nullptr;
  std::int32_t page_number_ = 1;
  std::optional<gdi::Metafile> metafile_;
  bool image_ok_ = false;
  std::int32_t zoom_ = 100;
  bool pressed_ = false;

  // The cache: part `cache_area_` of the sheet, for page `cache_page_` at
  // `cache_size_` and `cache_ratio_`.
  QImage cache_;
  QRect cache_area_;
  QSize cache_size_;
  qreal cache_ratio_ = 0;
  std::uint64_t page_serial_ = 0;
  std::uint64_t cache_page_ = 0;
  std::uint64_t renders_ = 0;
};

}  // namespace pravel
