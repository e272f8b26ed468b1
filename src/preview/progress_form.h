#pragma once
// The progress window of export and print runs: a gauge, a line of text and
// a button that cancels the run of its printer.

#include <QDialog>

#include "platform/qt/qt_messages.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace pravel {

class TQRPrinter;

class TQRProgressForm final : public QDialog {
  Q_OBJECT

 public:
  // Becomes the printer's Client, so that the printer's progress reaches it.
  // The form is to be destroyed before its printer; it then stops being the
  // printer's Client.
  explicit TQRProgressForm(TQRPrinter& printer, QWidget* parent = nullptr);
  ~TQRProgressForm() override;
  TQRProgressForm(const TQRProgressForm&) = delete;
  TQRProgressForm& operator=(const TQRProgressForm&) = delete;

  QProgressBar* Gauge() const noexcept { return gauge_; }
  QLabel* Info() const noexcept { return info_; }
  QPushButton* CancelButton() const noexcept { return cancel_button_; }
  // The form as the receiver of its printer's messages.
  MessageTarget& Target() noexcept { return target_; }

  // Cancels the printer's run.
  void CancelButtonClick();

 protected:
  bool event(QEvent* event) override;

 private:
  // A progress value in percent; only multiples of 5 are shown.
  void Progress(std::intptr_t value);

  TQRPrinter& printer_;
  qt::QObjectMessageTarget target_{this};
  QProgressBar* gauge_ = nullptr;
  QLabel* info_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
};

}  // namespace pravel
