#include "cli/progress_line.h"

#include <unistd.h>

namespace pravel::cli {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

}  // namespace

ProgressLine::ProgressLine(int total, bool quiet) : total_(total), shown_(!quiet && ::isatty(STDERR_FILENO) == 1) {}

ProgressLine::~ProgressLine() {
  if (drawn_) std::fputs("\r\033[K", stderr);
}

void ProgressLine::Update(int page) {
  if (!shown_) return;
  const auto now = std::chrono::steady_clock::now();
  if (page != total_ && drawn_ && now - last_ < kRedrawInterval) return;
  last_ = now;
  drawn_ = true;
  std::fprintf(stderr, "\rpage %d of %d", page, total_);
  std::fflush(stderr);
}

}  // namespace pravel::cli
