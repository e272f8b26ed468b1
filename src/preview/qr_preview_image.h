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
#include "preview/page_text.h"

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
// painted. `smooth_text` smooths the page's text as a screen shows it. True
// when drawing the page stopped on its work budget.
bool PaintPreviewSheet(QPainter& painter, const gdi::Metafile* page, QSize size, bool smooth_text = false);

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

  // Page text smoothed (the default) or drawn as on a bitmap.
  bool SmoothText() const noexcept { return smooth_text_; }
  void SetSmoothText(bool smooth);

  // Rectangles outlined over the page, in sheet fractions (0..1): the
  // find hits, the current one among them, and the selected text runs.
  void SetHits(std::vector<QRectF> hits, int current);
  const std::vector<QRectF>& Hits() const noexcept { return hits_; }
  // The runs of the shown page; read from the page on first use.
  const std::vector<PageRun>& Runs();
  const std::vector<PageRun>& Selection() const noexcept { return selection_; }
  // Selects the runs meeting `area` (sheet pixels); an empty area clears.
  void SelectArea(const QRect& area);
  void SelectAll();
  // The selected text in reading order, one line per text line.
  QString SelectedText() const;
  // A sheet fraction rectangle in sheet pixels.
  QRect SheetRect(const QRectF& fraction) const;

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
  void PaintMarks(QPainter& painter) const;

  TQRPrinter* printer_ = nullptr;
  std::int32_t page_number_ = 1;
  std::optional<gdi::Metafile> metafile_;
  bool image_ok_ = false;
  std::int32_t zoom_ = 100;
  bool pressed_ = false;
  bool smooth_text_ = true;
  // Where a left-button drag started, and whether it went past a click.
  QPoint press_at_, drag_to_;
  bool dragging_ = false;
  std::optional<std::vector<PageRun>> runs_;
  std::vector<PageRun> selection_;
  std::vector<QRectF> hits_;
  int current_hit_ = -1;

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
