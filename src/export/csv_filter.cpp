#include "export/csv_filter.h"

#include "export/strings.h"

namespace pravel {

std::string TQRCommaSeparatedFilter::Description() const { return std::string(texts::kCsvFilterDescription); }

std::string TQRCommaSeparatedFilter::FileExtension() const { return "CSV"; }

std::string TQRCommaSeparatedFilter::FilterName() const { return std::string(texts::kCsvFilterName); }

std::string QuotedField(std::string_view text) {
  std::string field = "\"";
  for (const char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  field += '"';
  return field;
}

// A row holds its cells up to its last text (see RowColumns).
void TQRCommaSeparatedFilter::StorePage() {
  for (std::int32_t row = 1; row <= LineCount(); ++row) {
    std::string line;
    for (const std::int32_t column : RowColumns(row)) {
      Font font;
      if (!line.empty()) line += ',';
      line += QuotedField(FindText(column, row, font));
    }
    if (ColumnCount() > 0) WriteLine(line);
  }
}

}  // namespace pravel
