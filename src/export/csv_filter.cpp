#include "export/csv_filter.h"

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

void TQRCommaSeparatedFilter::StorePage() {
  for (std::int32_t row = 1; row <= LineCount(); ++row) {
    std::string line;
    for (std::int32_t column = 1; column <= ColumnCount(); ++column) {
      Font font;
      if (column > 1) line += ',';
      line += QuotedField(FindText(column, row, font));
    }
    if (ColumnCount() > 0) WriteLine(line);
  }
}

}  // namespace pravel
