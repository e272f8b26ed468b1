#pragma once
// "page 1234 of 5000" on standard error, rewritten in place, while a long
// command runs. Shown only when standard error is a terminal.

#include <chrono>
#include <cstdio>

namespace pravel::cli {

class ProgressLine {
 public:
  // Shown when standard error is a terminal and not `quiet`.
  ProgressLine(int total, bool quiet);
  // Clears the line.
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // Page `page` is done; the line is redrawn at most ten times a second,
  // and for the last page.
  void Update(int page);
  bool Shown() const noexcept { return shown_; }

 private:
  int total_;
  bool shown_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace pravel::cli
