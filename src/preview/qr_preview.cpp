#include "preview/qr_preview.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "platform/rounding.h"
#include "preview/error_handler.h"
#include "report/qr_printer.h"

namespace pravel {

namespace {

// The Letter sheet in millimetres, used as pixels at zoom 100 when no
// printer is attached.
constexpr long double kDefaultPageWidth = 215.9L;
constexpr long double kDefaultPageLength = 279.4L;

}  // namespace

TQRPreview::TQRPreview(QWidget* parent)
    : QScrollArea(parent), sheet_(new QWidget), image_(new TQRPreviewImage(sheet_)), messages_(this) {
  setObjectName(QStringLiteral("QRPreview"));
  sheet_->setObjectName(QStringLiteral("PreviewSheet"));
  sheet_->resize(image_->size());
  setWidget(sheet_);
  setWidgetResizable(false);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  viewport()->setBackgroundRole(QPalette::Window);
  viewport()->setMouseTracking(true);
  horizontalScrollBar()->setTracking(true);
  verticalScrollBar()->setTracking(true);
  resize(250, 250);
  OnResize = [](TQRPreview& sender) { sender.ResizeHandler(); };
}

TQRPreview::~TQRPreview() {
  // The windows connected to this control may be half destroyed by now.
  blockSignals(true);
  Guarded([this] { SetQRPrinter(nullptr); });
}

std::int32_t TQRPreview::PageCount() const noexcept { return printer_ != nullptr ? printer_->PageCount() : 0; }

void TQRPreview::SetQRPrinter(TQRPrinter* printer) {
  if (printer_ != nullptr && printer_->Client() == static_cast<MessageTarget*>(this)) {
    printer_->SetShowingPreview(false);
    printer_->SetClient(nullptr);
  }
  printer_ = printer;
  image_->SetQRPrinter(printer);
  if (printer != nullptr) {
    printer->SetPreviewClient(this);
    printer->SetShowingPreview(true);
  }
  SetPageNumber(1);
  image_->ShowPage(1);
  update();
  image_->Handlers = Handlers;
  emit pageCountChanged(PageCount());
}

void TQRPreview::ReportLoaded() {
  SetPageNumber(1);
  image_->ShowPage(1);
  emit pageCountChanged(PageCount());
}

void TQRPreview::DetachPrinter(TQRPrinter& printer) {
  if (printer_ == &printer) SetQRPrinter(nullptr);
}

void TQRPreview::SetPageNumber(std::int32_t number) {
  if (number == page_number_ && image_->ImageOK()) return;
  if (number <= 0 || printer_ == nullptr || number > printer_->PageCount()) return;
  image_->ShowPage(number);
  page_number_ = number;
  ScrollToOrigin(true);
  emit pageChanged(number);
}

void TQRPreview::SetZoom(std::int32_t zoom) {
  if (zoom < kMinZoom || zoom > kMaxZoom) return;
  zoom_mode_ = TQRZoomMode::Other;
  zoom_ = zoom;
  LayoutImage();
  emit zoomChanged(zoom);
}

std::int32_t TQRPreview::PageWidthPixels() const {
  return printer_ != nullptr ? printer_->XSize(printer_->PaperWidth()) : 0;
}

std::int32_t TQRPreview::PageLengthPixels() const {
  return printer_ != nullptr ? printer_->YSize(printer_->PaperLength()) : 0;
}

void TQRPreview::LayoutImage() {
  int w = 0, h = 0;
  if (printer_ != nullptr) {
    w = printer_->XSize(static_cast<long double>(printer_->PaperWidth()) / 100 * zoom_) + 4;
    h = printer_->YSize(static_cast<long double>(printer_->PaperLength()) / 100 * zoom_) + 4;
  } else {
    w = RoundHalfEven(kDefaultPageWidth / 100 * zoom_) + 4;
    h = RoundHalfEven(kDefaultPageLength / 100 * zoom_) + 4;
  }
  w = std::clamp(w, 1, QWIDGETSIZE_MAX);
  h = std::clamp(h, 1, QWIDGETSIZE_MAX);
  // Centred against the control's outer size while smaller than it.
  const int left = w < width() ? (width() - w) / 2 : 0;
  const int top = h < height() ? (height() - h) / 2 : 0;
  image_->setGeometry(left, top, w, h);
  sheet_->resize(std::min(left + w, QWIDGETSIZE_MAX), std::min(top + h, QWIDGETSIZE_MAX));
  ScrollToOrigin(false);
  image_->SetZoom(zoom_);
}

void TQRPreview::ZoomToFit() {
  const long double across = printer_ != nullptr ? PageWidthPixels() : kDefaultPageWidth;
  const long double down = printer_ != nullptr ? PageLengthPixels() : kDefaultPageLength;
  if (across > 0 && down > 0) {
    const std::int32_t a = RoundHalfEven(width() / across * 95);
    const std::int32_t b = RoundHalfEven(height() / down * 95);
    SetZoom(std::min(a, b));
  }
  zoom_mode_ = TQRZoomMode::Fit;
}

void TQRPreview::ZoomToWidth() {
  if (printer_ != nullptr) {
    const long double across = PageWidthPixels();
    if (across > 0) SetZoom(RoundHalfEven(width() / across * 90));
  } else {
    SetZoom(RoundHalfEven(width() / kDefaultPageWidth * 95));
  }
  LayoutImage();
  zoom_mode_ = TQRZoomMode::Width;
}

void TQRPreview::ZoomIn() {
  if (zoom_ < 200) SetZoom(zoom_ + 10);
}

void TQRPreview::ZoomOut() {
  if (zoom_ > 20) SetZoom(zoom_ - 10);
}

void TQRPreview::ScrollOrTurn(bool down, int step) {
  QScrollBar* bar = verticalScrollBar();
  if (down) {
    if (bar->value() < bar->maximum()) {
      bar->setValue(bar->value() + step);
    } else if (page_number_ < PageCount()) {
      NextPage();
    }
  } else if (bar->value() > bar->minimum()) {
    bar->setValue(bar->value() - step);
  } else if (page_number_ > 1) {
    PreviousPage();
    bar->setValue(bar->maximum());
  }
}

bool TQRPreview::ReadingKey(const QKeyEvent& event) {
  const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
  const bool ctrl = mods == Qt::ControlModifier;
  const bool plain = mods == Qt::NoModifier;
  QScrollBar* down = verticalScrollBar();
  QScrollBar* across = horizontalScrollBar();
  switch (event.key()) {
    case Qt::Key_PageDown:
    case Qt::Key_Space:
      if (!plain) return false;
      ScrollOrTurn(true, down->pageStep());
      return true;
    case Qt::Key_PageUp:
    case Qt::Key_Backspace:
      if (!plain) return false;
      ScrollOrTurn(false, down->pageStep());
      return true;
    case Qt::Key_Home:
      if (ctrl)
        FirstPage();
      else if (plain)
        down->setValue(down->minimum());
      return ctrl || plain;
    case Qt::Key_End:
      if (ctrl)
        LastPage();
      else if (plain)
        down->setValue(down->maximum());
      return ctrl || plain;
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Left: {
      if (!plain) return false;
      const bool vertical = event.key() == Qt::Key_Down || event.key() == Qt::Key_Up;
      const bool add = event.key() == Qt::Key_Down || event.key() == Qt::Key_Right;
      (vertical ? down : across)
          ->triggerAction(add ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
      return true;
    }
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      if (!(mods & Qt::ControlModifier)) return false;
      ZoomIn();
      return true;
    case Qt::Key_Minus:
      if (!ctrl) return false;
      ZoomOut();
      return true;
    case Qt::Key_0:
      if (!ctrl) return false;
      SetZoom(100);
      return true;
    default: return false;
  }
}

void TQRPreview::keyPressEvent(QKeyEvent* event) {
  bool used = false;
  Guarded([&] { used = ReadingKey(*event); });
  if (used)
    event->accept();
  else
    QScrollArea::keyPressEvent(event);
}

void TQRPreview::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (notches == 0) {
    QScrollArea::wheelEvent(event);
    return;
  }
  Guarded([&] {
    if (event->modifiers() & Qt::ControlModifier) {
      for (int k = 0; k < std::abs(notches); ++k) notches > 0 ? ZoomIn() : ZoomOut();
    } else {
      const int step = verticalScrollBar()->singleStep() * 3;
      for (int k = 0; k < std::abs(notches); ++k) ScrollOrTurn(notches < 0, step);
    }
  });
  event->accept();
}

void TQRPreview::ResizeHandler() {
  if (zoom_mode_ == TQRZoomMode::Fit) {
    ZoomToFit();
  } else if (zoom_mode_ == TQRZoomMode::Width) {
    ZoomToWidth();
  }
  LayoutImage();
}

void TQRPreview::UpdateImage() {
  if (image_->ImageOK() || printer_ == nullptr) return;
  if (printer_->AvailablePages() < image_->PageNumber()) return;
  ZoomToWidth();
  image_->ShowPage(image_->PageNumber());
}

void TQRPreview::ScrollToOrigin(bool vertical_first) {
  if (vertical_first) verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  if (!vertical_first) verticalScrollBar()->setValue(0);
}

void TQRPreview::Post(const Message& message) { messages_.Post(message); }

void TQRPreview::Send(const Message& message) { messages_.Send(message); }

void TQRPreview::HandleMessage(const Message& message) {
  const auto number = static_cast<std::int32_t>(message.wparam);
  if (message.msg == QRM_PAGEAVAILABLE) {
    if (number == page_number_) UpdateImage();
    emit pageCountChanged(PageCount());
    if (OnPageAvailable) OnPageAvailable(*this, number);
  } else if (message.msg == QRM_PROGRESS) {
    if (OnProgressUpdate) OnProgressUpdate(*this, number);
  }
}

bool TQRPreview::event(QEvent* event) {
  const auto type = static_cast<std::uint32_t>(event->type());
  if (type == QRM_PAGEAVAILABLE || type == QRM_PROGRESS) {
    if (const Message* message = qt::MessageOf(event)) {
      Guarded([&] { HandleMessage(*message); });
      return true;
    }
  }
  return QScrollArea::event(event);
}

void TQRPreview::resizeEvent(QResizeEvent* event) {
  QScrollArea::resizeEvent(event);
  if (OnResize) Guarded([this] { OnResize(*this); });
}

void TQRPreview::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
  if (Handlers.OnMouseDown) Guarded([&] { Handlers.OnMouseDown(*event); });
}

void TQRPreview::mouseMoveEvent(QMouseEvent* event) {
  if (Handlers.OnMouseMove) Guarded([&] { Handlers.OnMouseMove(*event); });
}

void TQRPreview::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      event->button() == Qt::LeftButton && pressed_ && viewport()->rect().contains(event->position().toPoint());
  if (event->button() == Qt::LeftButton) pressed_ = false;
  if (click && Handlers.OnClick) Guarded(Handlers.OnClick);
  if (Handlers.OnMouseUp) Guarded([&] { Handlers.OnMouseUp(*event); });
}

void TQRPreview::mouseDoubleClickEvent(QMouseEvent* event) {
  pressed_ = false;
  if (Handlers.OnDblClick) Guarded(Handlers.OnDblClick);
  if (Handlers.OnMouseDown) Guarded([&] { Handlers.OnMouseDown(*event); });
}

}  // namespace pravel
