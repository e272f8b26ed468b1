#include "export/csv_filter.h"

#include <algorithm>

#include "export/strings.h"

namespace pravel {

std::string TQRCommaSeparatedFilter::Description() const {
  return std::string(texts::kCsvFilterDescription);
}

std::string TQRCommaSeparatedFilter::FileExtension() const { return "CSV"; }

std::string TQRCommaSeparatedFilter::FilterName() const {
  return std::string(texts::kCsvFilterName);
}

std::string QuotedField(std::string_view text) {
  std::string field = "\"";
  for (const char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  field += '"';
  return field;
}

// A row holds its cells up to its last text: the page costs what its texts do.
void TQRCommaSeparatedFilter::StorePage() {
  for (std::int32_t row = 1; row <= LineCount(); ++row) {
    std::string line;
    const std::int32_t last = std::max(LastColumn(row), 1);
    for (std::int32_t column = 1; column <= last; ++column) {
      Font font;
      if (column > 1) line += ',';
      line += QuotedField(FindText(column, row, font));
    }
    if (ColumnCount() > 0) WriteLine(line);
  }
}

}  // namespace pravel
