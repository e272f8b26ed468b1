#pragma once
// Form1: the hidden form that carries the start-page report. It is never
// shown.

#include <QWidget>

namespace pravel {

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);
};

}  // namespace pravel
