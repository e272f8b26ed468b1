#include "viewer/spin_holder.h"

namespace pravel {

SpinHolder::SpinHolder(std::int32_t min_value, std::int32_t max_value, std::int32_t value)
    : min_(min_value), max_(max_value), text_(QString::number(value)) {}

void SpinHolder::SetValue(std::int32_t value) {
  if (min_ != max_) {
    if (value < min_) {
      value = min_;
    } else if (value > max_) {
      value = max_;
    }
  }
  QString text = QString::number(value);
  if (text == text_) return;
  text_ = std::move(text);
  if (OnChange) OnChange();
}

std::int32_t SpinHolder::Value() const {
  bool ok = false;
  const int value = text_.trimmed().toInt(&ok);
  return ok ? value : min_;
}

}  // namespace pravel
