#include "preview/progress_form.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "export/strings.h"
#include "report/qr_printer.h"

namespace pravel {

namespace {

constexpr int kClientWidth = 149;
constexpr int kClientHeight = 97;
constexpr int kProgressStep = 5;

}  // namespace

TQRProgressForm::TQRProgressForm(TQRPrinter& printer, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      printer_(printer),
      gauge_(new QProgressBar(this)),
      info_(new QLabel(this)),
      cancel_button_(new QPushButton(QString::fromUtf8("Anuluj"), this)) {
  setWindowTitle(QString::fromUtf8("Postęp wydruku"));
  setFixedSize(kClientWidth, kClientHeight);
  gauge_->setObjectName(QStringLiteral("Gauge"));
  gauge_->setRange(0, 100);
  gauge_->setValue(0);
  gauge_->setGeometry(8, 8, 133, 18);
  info_->setObjectName(QStringLiteral("Info"));
  info_->setAlignment(Qt::AlignCenter);
  info_->setGeometry(8, 30, 133, 22);
  cancel_button_->setObjectName(QStringLiteral("CancelButton"));
  cancel_button_->setGeometry(37, 60, 75, 28);
  connect(cancel_button_, &QPushButton::clicked, this, &TQRProgressForm::CancelButtonClick);
  if (const QScreen* screen = this->screen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  printer_.SetClient(&target_);
}

TQRProgressForm::~TQRProgressForm() {
  if (printer_.Client() == &target_) printer_.SetClient(nullptr);
}

void TQRProgressForm::CancelButtonClick() { printer_.Cancel(); }

bool TQRProgressForm::event(QEvent* event) {
  if (const Message* message = qt::MessageOf(event)) {
    if (message->msg == QRM_PROGRESS) Progress(message->wparam);
    return true;
  }
  return QDialog::event(event);
}

void TQRProgressForm::Progress(std::intptr_t value) {
  if (value % kProgressStep != 0) return;
  gauge_->setValue(static_cast<int>(value));
  info_->setText(QString::number(value) + QStringLiteral("% ") +
                 QString::fromUtf8(texts::kCompleted.data(), static_cast<qsizetype>(texts::kCompleted.size())));
  ProcessMessages();
}

}  // namespace pravel
