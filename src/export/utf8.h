#pragma once
// Character positions in UTF-8 text. A character starts at every byte that
// is not a continuation byte (and at the first byte in any case), so that
// malformed text is still cut into characters and passed on unchanged.

#include <cstddef>
#include <string_view>

namespace pravel {

// Number of characters in `text`.
std::size_t CharCount(std::string_view text) noexcept;

// Byte offset of character `index` (counted from 0) in `text`; the size of
// `text` when it has no such character.
std::size_t CharOffset(std::string_view text, std::size_t index) noexcept;

}  // namespace pravel
