#pragma once
// The About box: a borderless window whose white parts are see-through,
// with the program's title, the system lines and the maker's web address.

#include <QDialog>

class QLabel;

namespace pravel {

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* parent = nullptr);

  // Recomputes the window mask from the painted content: every pixel that is
  // not pure white stays visible.
  void UpdateMask();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void FormCreate();
  void Label2Click();
  void Label4Click();

  QLabel* Label3_ = nullptr;
  QLabel* StaticText1_ = nullptr;
  QLabel* StaticText4_ = nullptr;
};

}  // namespace pravel
