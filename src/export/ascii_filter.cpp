#include "export/ascii_filter.h"

#include <algorithm>
#include <cmath>

#include "export/io_error.h"
#include "export/strings.h"
#include "export/utf8.h"
#include "platform/rounding.h"

namespace pravel {

std::string TQRAsciiExportFilter::Description() const { return std::string(texts::kAsciiFilterDescription); }

std::string TQRAsciiExportFilter::FileExtension() const { return std::string(texts::kAsciiFilterExtension); }

std::string TQRAsciiExportFilter::FilterName() const { return std::string(texts::kAsciiFilterName); }

void TQRAsciiExportFilter::Start(std::int32_t paper_width, std::int32_t paper_height, const Font& font) {
  OutputStream file;
  if (const int error = file.CreateFile(FileName()); error != 0) throw EInOutError(error);
  file_ = std::move(file);
  // A font without a size would give cells of no height.
  cell_size_ = static_cast<long double>(std::max(font.Size, 1)) * 254.0L / 72.0L;
  page_lines_ = static_cast<std::int32_t>(RoundHalfEvenExtended(paper_height / cell_size_));
  lines_.clear();
  TQRExportFilter::Start(paper_width, paper_height, font);
}

void PlaceText(std::string& line, long double position, std::int64_t column, std::string_view text) {
  const std::size_t length = CharCount(line);
  if (position > static_cast<long double>(length) && column > static_cast<std::int64_t>(length)) {
    line.append(static_cast<std::size_t>(column) - length, ' ');
  }
  if (column < 1) {
    line.insert(0, text);
    return;
  }
  const std::size_t start = CharOffset(line, static_cast<std::size_t>(column - 1));
  const std::size_t end = CharOffset(std::string_view(line).substr(start), CharCount(text));
  line.replace(start, end, text);
}

void TQRAsciiExportFilter::TextOut(long double x, long double y, const Font& /*font*/, ColorValue /*background_color*/,
                                   TextAlignment alignment, const std::string& text) {
  if (cell_size_ <= 0) return;  // not started
  // Texts off the paper, above its top or far beyond any edge, are dropped.
  if (!(std::fabs(x) < kMaxPosition && y < kMaxPosition)) return;
  long double column = x / cell_size_ * kColumnRatio;
  const long double row = RoundHalfUpExtended(y / cell_size_);
  if (!(row >= 0)) return;
  if (alignment == TextAlignment::RightJustify) {
    column -= static_cast<long double>(CharCount(text));
  }
  PlaceText(lines_[static_cast<std::int32_t>(row)], column, static_cast<std::int64_t>(RoundHalfEvenExtended(column)),
            text);
}

void TQRAsciiExportFilter::EndPage() {
  for (const auto& [index, line] : lines_) {
    if (!line.empty()) {
      Write(line);
      Write("\r\n");
    }
  }
}

void TQRAsciiExportFilter::NewPage() { lines_.clear(); }

void TQRAsciiExportFilter::Finish() {
  lines_.clear();
  const int error = file_.Close();
  TQRExportFilter::Finish();
  if (error != 0) throw EInOutError(error);
}

void TQRAsciiExportFilter::Write(std::string_view bytes) {
  if (const int error = file_.Write(bytes); error != 0) throw EInOutError(error);
}

}  // namespace pravel
