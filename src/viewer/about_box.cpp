#include "viewer/about_box.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "platform/qt/font_resolver.h"
#include "viewer/about_pictures.h"
#include "viewer/about_texts.h"
#include "viewer/web_page.h"

namespace pravel {

namespace {

const QColor kShapeColor(240, 251, 255);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
constexpr QRect kShape1(0, 120, 297, 241);
constexpr QRect kImage2(24, 40, 125, 129);
constexpr QRect kImage1(180, 42, 93, 119);
constexpr QRect kBevel3(16, 232, 265, 2);
constexpr QRect kBevel1(16, 300, 265, 2);

// A font of the given point size at 96 pixels per inch, as the layout expects.
QFont SansSerif(int points, bool bold = false, bool underline = false) {
  const int pixels = static_cast<int>(std::lround(points * 96.0 / 72.0));
  QFont font(pravel::qt::WidgetFamily(QStringLiteral("MS Sans Serif"), pixels, bold));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  font.setBold(bold);
  font.setUnderline(underline);
  return font;
}

// A label that runs an action when clicked with the left button.
class ClickLabel : public QLabel {
 public:
  ClickLabel(QWidget* parent, std::function<void()> on_click) : QLabel(parent), on_click_(std::move(on_click)) {
    setCursor(Qt::PointingHandCursor);
  }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
      on_click_();
    }
  }

 private:
  std::function<void()> on_click_;
};

struct LabelStyle {
  QFont font{};
  QColor color{};  // invalid: the palette's text colour
  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
  bool word_wrap = false;
  QColor background{};  // invalid: transparent
};

void Place(QLabel* label, const QString& name, const QString& text, const QRect& geometry, const LabelStyle& style) {
  label->setObjectName(name);
  label->setFont(style.font);
  label->setAlignment(style.alignment);
  label->setWordWrap(style.word_wrap);
  QPalette palette = label->palette();
  if (style.color.isValid()) palette.setColor(QPalette::WindowText, style.color);
  if (style.background.isValid()) {
    palette.setColor(QPalette::Window, style.background);
    label->setAutoFillBackground(true);
  }
  label->setPalette(palette);
  label->setText(text);
  label->setGeometry(geometry);
}

// Widens the label to its text when the text needs more room.
void FitWidth(QLabel* label) {
  label->resize(std::max(label->width(), label->sizeHint().width()),
                std::max(label->height(), label->sizeHint().height()));
}

void PaintBevel(QPainter& painter, const QRect& line) {
  painter.fillRect(QRect(line.left(), line.top(), line.width(), 1), QColor(128, 128, 128));
  painter.fillRect(QRect(line.left(), line.top() + 1, line.width(), 1), Qt::white);
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("O programie"));
  setFixedSize(333, 368);
  setFont(SansSerif(8));
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  palette.setColor(QPalette::WindowText, Qt::black);
  setPalette(palette);
  setAutoFillBackground(true);

  const LabelStyle on_shape{.font = SansSerif(8), .background = kShapeColor};
  const LabelStyle title{
      .font = SansSerif(18, true), .color = kRed, .alignment = Qt::AlignHCenter | Qt::AlignTop, .word_wrap = true};
  LabelStyle purpose = title;
  purpose.font = SansSerif(10, true);

  Place(new ClickLabel(this, [this] { Label2Click(); }), QStringLiteral("Label2"), QStringLiteral("ZAMKNIJ"),
        QRect(272, 8, 56, 16), LabelStyle{.font = SansSerif(10, false, true)});
  Label3_ = new QLabel(this);
  Place(Label3_, QStringLiteral("Label3"), QString(), QRect(0, 168, 297, 37), title);
  Place(new QLabel(this), QStringLiteral("Label1"), QStringLiteral("view and print saved report *.qrp files"),
        QRect(0, 208, 297, 21), purpose);

  auto* caption = new QLabel(this);
  Place(caption, QStringLiteral("StaticText3"), QStringLiteral("Autor:"), QRect(16, 240, 0, 0), on_shape);
  FitWidth(caption);
  auto* maker = new QLabel(this);
  Place(maker, QStringLiteral("StaticText5"), QStringLiteral("Brask"), QRect(104, 240, 0, 0), on_shape);
  FitWidth(maker);

  auto* web = new ClickLabel(this, [this] { Label4Click(); });
  Place(web, QStringLiteral("Label4"), QString::fromLatin1(kMakerWebAddressText), QRect(104, 256, 131, 13),
        LabelStyle{.font = SansSerif(8, false, true), .color = kBlue, .background = kShapeColor});
  FitWidth(web);
  auto* contact = new QLabel(this);
  Place(contact, QStringLiteral("Label5"), QStringLiteral("pravel@example.org"), QRect(104, 272, 80, 13), on_shape);
  FitWidth(contact);

  StaticText1_ = new QLabel(this);
  Place(StaticText1_, QStringLiteral("StaticText1"), QString(), QRect(16, 308, 0, 0), on_shape);
  StaticText4_ = new QLabel(this);
  Place(StaticText4_, QStringLiteral("StaticText4"), QString(), QRect(16, 324, 0, 0), on_shape);

  FormCreate();
}

void TAboutBox::FormCreate() {
  Label3_->setText(QGuiApplication::applicationDisplayName());
  StaticText1_->setText(OperatingSystemLine(CurrentSystemVersion()));
  FitWidth(StaticText1_);
  StaticText4_->setText(MemoryLine(TotalPhysicalMemory(), QLocale().groupSeparator()));
  FitWidth(StaticText4_);
}

void TAboutBox::Label2Click() { done(QDialog::Accepted); }

void TAboutBox::Label4Click() { OpenMakerWebPage(); }

void TAboutBox::UpdateMask() {
  QImage image(size(), QImage::Format_RGB32);
  render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren | QWidget::IgnoreMask);
  // The mask image marks white pixels with bit 1, which the bitmap takes as
  // its see-through colour.
  setMask(QBitmap::fromImage(image.createMaskFromColor(qRgb(255, 255, 255), Qt::MaskInColor)));
}

void TAboutBox::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kShapeColor);
  // A rounded rectangle whose corners are an eighth of its shorter side.
  const qreal radius = std::min(kShape1.width(), kShape1.height()) / 8.0;
  painter.drawRoundedRect(QRectF(kShape1), radius, radius);
  painter.setRenderHint(QPainter::Antialiasing, false);
  PaintReportPicture(painter, QRectF(kImage2));
  PaintPrinterPicture(painter, QRectF(kImage1));
  PaintBevel(painter, kBevel3);
  PaintBevel(painter, kBevel1);
}

void TAboutBox::showEvent(QShowEvent* event) {
  if (const QScreen* screen = this->screen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  UpdateMask();
  QDialog::showEvent(event);
}

}  // namespace pravel
