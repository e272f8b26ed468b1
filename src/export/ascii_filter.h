#pragma once
// Plain text: every text is placed on a grid of character cells derived from
// the report font, and the page's non-empty lines are written.

#include <cstdint>
#include <map>
#include <string>

#include "export/export_filter.h"
#include "export/output_stream.h"

namespace pravel {

class TQRAsciiExportFilter : public TQRExportFilter {
 public:
  // A column is this many times narrower than a line is high.
  static constexpr long double kColumnRatio = 1.7L;
  // Texts at or beyond this position (tenths of a millimetre) lie off any paper.
  static constexpr long double kMaxPosition = 9999999.0L;

  using TQRExportFilter::TQRExportFilter;

  std::string Description() const override;
  std::string FileExtension() const override;
  std::string FilterName() const override;
  // Creates (or empties) the file; EInOutError when it cannot.
  void Start(std::int32_t paper_width, std::int32_t paper_height, const Font& font) override;
  // Writes the page's non-empty lines, each ended by CR LF.
  void EndPage() override;
  void Finish() override;
  void NewPage() override;
  void TextOut(long double x, long double y, const Font& font, ColorValue background_color, TextAlignment alignment,
               const std::string& text) override;

  // Height of a line in tenths of a millimetre.
  long double CellSize() const noexcept { return cell_size_; }
  // Lines that fit on the paper.
  std::int32_t PageLines() const noexcept { return page_lines_; }

 private:
  void Write(std::string_view bytes);

  OutputStream file_;
  std::map<std::int32_t, std::string> lines_;  // line index (0 at the top) -> text
  long double cell_size_ = 0;
  std::int32_t page_lines_ = 0;
};

// Places `text` on `line` with its first character at column `column` (counted
// from 1), overwriting as many characters as it has; a column of 0 or less
// inserts it in front. `position` is the unrounded column: only when it lies
// beyond the line's end is the line first padded with spaces up to `column`.
void PlaceText(std::string& line, long double position, std::int64_t column, std::string_view text);

}  // namespace pravel
