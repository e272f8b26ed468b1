#pragma once
// The find bar below the page: "Znajdź:", the text, "Poprzedni",
// "Następny" and "Uwzględniaj wielkość liter". A search runs in steps of a
// few pages between the window's messages; Esc stops it, or closes the bar.

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <optional>

#include "preview/find_text.h"

class QCheckBox;
class QLineEdit;

namespace pravel {

class TQRPreview;

class TFindBar final : public QWidget {
  Q_OBJECT

 public:
  explicit TFindBar(TQRPreview& preview, QWidget* parent = nullptr);

  // Shows the bar with the text field focused and selected.
  void Open();
  // Looks for the next or previous hit from the last one, or from the
  // shown page when another page was chosen since.
  void FindNext() { Start(true); }
  void FindPrevious() { Start(false); }
  void Stop();
  bool Searching() const noexcept { return search_.has_value(); }

  QLineEdit& Field() const noexcept { return *field_; }
  QCheckBox& MatchCase() const noexcept { return *match_case_; }

 signals:
  void found(int page);
  void notFound();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Start(bool forward);
  void Step();

  TQRPreview& preview_;
  QLineEdit* field_;
  QCheckBox* match_case_;
  QTimer steps_;
  std::optional<TextSearch> search_;
  std::int32_t found_page_ = 0;
  std::int32_t found_hit_ = -1;
};

}  // namespace pravel
