#pragma once
// An integer kept as decimal text between two bounds, standing in for a
// hidden spin box: the page and zoom holders of the main window.

#include <QString>
#include <cstdint>
#include <functional>

namespace pravel {

class SpinHolder {
 public:
  SpinHolder(std::int32_t min_value, std::int32_t max_value, std::int32_t value);

  // Stores `value` as text: clamped into the bounds when they differ, kept
  // as it is when they are equal. OnChange runs when the text changes.
  void SetValue(std::int32_t value);
  // The text as an integer; the lower bound when it is not one.
  std::int32_t Value() const;
  const QString& Text() const noexcept { return text_; }

  // Setting a bound leaves the stored text alone.
  std::int32_t MinValue() const noexcept { return min_; }
  void SetMinValue(std::int32_t value) noexcept { min_ = value; }
  std::int32_t MaxValue() const noexcept { return max_; }
  void SetMaxValue(std::int32_t value) noexcept { max_ = value; }
  bool ReadOnly() const noexcept { return read_only_; }
  void SetReadOnly(bool read_only) noexcept { read_only_ = read_only; }

  std::function<void()> OnChange;

 private:
  std::int32_t min_;
  std::int32_t max_;
  QString text_;
  bool read_only_ = false;
};

}  // namespace pravel
