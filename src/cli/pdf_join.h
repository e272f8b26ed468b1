#pragma once
// One PDF document from parts written on several threads by the toolkit's
// PDF writer (a classic xref table, no object streams): the parts' objects
// renumbered one after another, their pages in one page tree, font subset
// tags kept apart per part, the document information of the first part.

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace pravel::cli {

struct PdfJoinError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Writes the joined document; throws PdfJoinError for a part it cannot read.
void JoinPdfParts(const std::vector<std::string>& parts, std::ostream& out);

}  // namespace pravel::cli
