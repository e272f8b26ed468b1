#include "viewer/find_bar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "preview/error_handler.h"
#include "preview/qr_preview.h"

namespace pravel {

namespace {

// Pages looked at between two turns of the window's messages.
constexpr std::int32_t kPagesPerStep = 25;

}  // namespace

TFindBar::TFindBar(TQRPreview& preview, QWidget* parent)
    : QWidget(parent), preview_(preview), field_(new QLineEdit), match_case_(new QCheckBox) {
  setObjectName(QStringLiteral("FindBar"));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(4, 2, 4, 2);
  auto* label = new QLabel(QStringLiteral("Znajdź:"));
  label->setBuddy(field_);
  field_->setObjectName(QStringLiteral("FindText"));
  auto* previous = new QPushButton(QStringLiteral("Poprzedni"));
  previous->setObjectName(QStringLiteral("FindPrevious"));
  auto* next = new QPushButton(QStringLiteral("Następny"));
  next->setObjectName(QStringLiteral("FindNext"));
  match_case_->setObjectName(QStringLiteral("FindMatchCase"));
  match_case_->setText(QStringLiteral("Uwzględniaj wielkość liter"));
  row->addWidget(label);
  row->addWidget(field_, 1);
  row->addWidget(previous);
  row->addWidget(next);
  row->addWidget(match_case_);
  connect(field_, &QLineEdit::returnPressed, this, &TFindBar::FindNext);
  connect(next, &QPushButton::clicked, this, &TFindBar::FindNext);
  connect(previous, &QPushButton::clicked, this, &TFindBar::FindPrevious);
  // Another text starts afresh from the shown page.
  connect(field_, &QLineEdit::textChanged, this, [this] { found_page_ = 0; });
  connect(match_case_, &QCheckBox::toggled, this, [this] { found_page_ = 0; });
  steps_.setInterval(0);
  connect(&steps_, &QTimer::timeout, this, [this] { Guarded([this] { Step(); }); });
  hide();
}

void TFindBar::Open() {
  show();
  field_->setFocus();
  field_->selectAll();
}

void TFindBar::Stop() {
  steps_.stop();
  search_.reset();
}

void TFindBar::Start(bool forward) {
  Stop();
  if (field_->text().isEmpty() || preview_.QRPrinter() == nullptr) return;
  const std::int32_t page = preview_.PageNumber();
  const std::int32_t from = found_page_ == page ? found_hit_ : -1;
  search_ = BeginSearch({.text = field_->text(), .match_case = match_case_->isChecked()}, forward, page, from,
                        preview_.PageCount());
  Step();
}

void TFindBar::Step() {
  if (!search_ || preview_.QRPrinter() == nullptr) return Stop();
  SearchStep step = StepSearch(*search_, *preview_.QRPrinter(), kPagesPerStep);
  switch (step.status) {
    case SearchStep::Status::Running: steps_.start(); return;
    case SearchStep::Status::Found:
      Stop();
      preview_.SetPageNumber(step.page);
      found_page_ = step.page;
      found_hit_ = step.current;
      preview_.PageImage().SetHits(std::move(step.hits), step.current);
      emit found(step.page);
      return;
    case SearchStep::Status::NotFound:
      Stop();
      found_page_ = 0;
      preview_.PageImage().SetHits({}, -1);
      emit notFound();
      return;
  }
}

void TFindBar::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Escape) return QWidget::keyPressEvent(event);
  if (Searching()) {
    Stop();
  } else {
    hide();
    preview_.PageImage().SetHits({}, -1);
    preview_.setFocus();
  }
  event->accept();
}

}  // namespace pravel
