#pragma once
// TQRPreview: a scroll area that shows one page of the attached report
// printer at a zoom percentage. It fetches each page from the printer when
// it is to be shown, and receives the printer's page-available and progress
// messages as events. Windows that show its page or zoom connect to its
// signals once and drive it through its slots.

#include <QScrollArea>
#include <cstdint>
#include <functional>

#include "platform/messages.h"
#include "platform/qt/qt_messages.h"
#include "preview/qr_preview_image.h"
#include "report/preview_interface.h"

namespace pravel {

class TQRPrinter;

// How the zoom was last chosen.
enum class TQRZoomMode : std::uint8_t { Fit = 0, Width = 1, Other = 2 };

inline constexpr std::int32_t kMinZoom = 2;
inline constexpr std::int32_t kMaxZoom = 2000;

class TQRPreview : public QScrollArea, public TQRPreviewClient {
  Q_OBJECT

 public:
  using PageAvailableEvent = std::function<void(TQRPreview& sender, std::int32_t page_num)>;
  using ProgressUpdateEvent = std::function<void(TQRPreview& sender, std::int32_t progress)>;
  using ResizeEvent = std::function<void(TQRPreview& sender)>;

  explicit TQRPreview(QWidget* parent = nullptr);
  // Detaches the printer first.
  ~TQRPreview() override;
  TQRPreview(const TQRPreview&) = delete;
  TQRPreview& operator=(const TQRPreview&) = delete;

  // Attaches a report printer (not owned), or none. The previous one is
  // told that it is no longer shown, even when it is the same one.
  TQRPrinter* QRPrinter() const noexcept { return printer_; }
  void SetQRPrinter(TQRPrinter* printer);

  std::int32_t PageNumber() const noexcept { return page_number_; }
  std::int32_t Zoom() const noexcept { return zoom_; }
  TQRZoomMode ZoomMode() const noexcept { return zoom_mode_; }
  // The attached printer's page count; 0 without one.
  std::int32_t PageCount() const noexcept;

 public slots:
  // Shows page `number`; ignored outside 1..PageCount, without a printer,
  // and for the page already held.
  void SetPageNumber(std::int32_t number);
  void FirstPage() { SetPageNumber(1); }
  void PreviousPage() { SetPageNumber(page_number_ - 1); }
  void NextPage() { SetPageNumber(page_number_ + 1); }
  void LastPage() { SetPageNumber(PageCount()); }
  // The attached printer has loaded another report: shows its page 1, also
  // when page 1 is the page held, and announces the new page count.
  void ReportLoaded();

  // Percent; values outside 2..2000 are ignored.
  void SetZoom(std::int32_t zoom);
  // The largest zoom at which the whole page fits, kept on resize.
  void ZoomToFit();
  // The zoom at which the page width fits, kept on resize.
  void ZoomToWidth();
  // Ten points more up to 200, ten less down to 20.
  void ZoomIn();
  void ZoomOut();

 signals:
  // A page was shown by SetPageNumber.
  void pageChanged(int page);
  // A zoom was applied, also one equal to the previous zoom.
  void zoomChanged(int zoom);
  // A printer was attached or let go, it announced an available page, or it
  // loaded another report.
  void pageCountChanged(int count);

 public:
  // Shows the current page if it has just become available.
  void UpdateImage();
  // Sizes and places the page image for the current zoom.
  void LayoutImage();
  // The control's own resize reaction, installed as OnResize.
  void ResizeHandler();

  // The reading keys: Page Down / Page Up and Space / Backspace scroll a
  // view and turn the page at the page's end, Home / End go to the page's
  // top and bottom (with Ctrl: the first and last page), arrows scroll,
  // Ctrl++ / Ctrl+- / Ctrl+0 zoom. False for any other key.
  bool ReadingKey(const QKeyEvent& event);

  TQRPreviewImage& PageImage() noexcept { return *image_; }
  const TQRPreviewImage& PageImage() const noexcept { return *image_; }

  PageAvailableEvent OnPageAvailable;
  ProgressUpdateEvent OnProgressUpdate;
  // Runs when the control changes size; ResizeHandler unless replaced.
  ResizeEvent OnResize;
  // Mouse handlers of the control; copied to the page image at attach.
  TQRMouseHandlers Handlers;

  // Messages from the printer (its Client).
  void Post(const Message& message) override;
  void Send(const Message& message) override;
  void DetachPrinter(TQRPrinter& printer) override;

 protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // The wheel scrolls and turns the page at the top or bottom; with Ctrl it zooms.
  void wheelEvent(QWheelEvent* event) override;

 private:
  // Scrolls down (`down`) or up by a view, turning the page at its end.
  void ScrollOrTurn(bool down, int step);
  void HandleMessage(const Message& message);
  // The page extent in pixels at zoom 100; 0 when unknown.
  std::int32_t PageWidthPixels() const;
  std::int32_t PageLengthPixels() const;
  void ScrollToOrigin(bool vertical_first);

  QWidget* sheet_;          // the scrolled area, holding the image
  TQRPreviewImage* image_;  // child of sheet_
  qt::QObjectMessageTarget messages_;
  TQRPrinter* printer_ = nullptr;
  std::int32_t page_number_ = 1;
  std::int32_t zoom_ = 100;
  TQRZoomMode zoom_mode_ = TQRZoomMode::Other;
  bool pressed_ = false;
};

}  // namespace pravel
