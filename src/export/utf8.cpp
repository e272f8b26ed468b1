#include "export/utf8.h"

namespace pravel {
namespace {

bool IsContinuation(char c) noexcept { return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u; }

}  // namespace

std::size_t CharCount(std::string_view text) noexcept {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i == 0 || !IsContinuation(text[i])) ++count;
  }
  return count;
}

std::size_t CharOffset(std::string_view text, std::size_t index) noexcept {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i == 0 || !IsContinuation(text[i])) {
      if (seen == index) return i;
      ++seen;
    }
  }
  return text.size();
}

}  // namespace pravel
