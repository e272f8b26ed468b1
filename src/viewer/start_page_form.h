#pragma once
// Form1: the hidden form that carries the start-page report QRReport1. It
// is never shown; it receives the report's window messages.

#include <QWidget>

#include "engine/qr_report.h"
#include "platform/qt/qt_messages.h"

namespace pravel {

class TFKonsolaPravel;

// The start page: A4 with margins of 10 mm, the program's name, version and
// purpose, a picture and the maker's web address.
void LayOutStartPage(TQRReport& report);

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  // The start page previews into the preview of `main_window`.
  explicit TForm1(TFKonsolaPravel* main_window = nullptr, QWidget* parent = nullptr);
  ~TForm1() override;
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  TQRReport& QRReport1() noexcept { return QRReport1_; }

  // Shows the report's printer in the main window's preview.
  void QRReport1Preview(TQRPrinter& printer);

 protected:
  bool event(QEvent* event) override;

 private:
  TFKonsolaPravel* main_window_;
  qt::QObjectMessageTarget target_{this};
  TQRReport QRReport1_;
};

}  // namespace pravel
