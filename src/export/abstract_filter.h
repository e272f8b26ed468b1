#pragma once
// The grid base of the comma-separated and HTML filters: collects a page's
// texts, numbers one column per distinct horizontal position and one row per
// distinct vertical position, and lets its descendant write the grid.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "export/export_filter.h"
#include "export/output_stream.h"

namespace pravel {

// One collected text. X and Y hold the position on arrival and the column and
// row number (1, 2, ... or 0 for none) once the page has been numbered.
struct TTextEntry {
  std::string Text;
  long double X = 0;
  long double Y = 0;
  pravel::Font Font;
};

class TQRAbstractExportFilter : public TQRExportFilter {
 public:
  using TQRExportFilter::TQRExportFilter;

  std::string Description() const override;
  std::string FileExtension() const override;
  std::string FilterName() const override;
  void Start(std::int32_t paper_width, std::int32_t paper_height, const Font& font) override;
  void EndPage() override;
  void Finish() override;
  void NewPage() override;
  void TextOut(long double x, long double y, const Font& font, ColorValue background_color, TextAlignment alignment,
               const std::string& text) override;

  // The output, from Start; a memory stream stays here after Finish.
  const OutputStream* Stream() const noexcept { return stream_ ? &*stream_ : nullptr; }
  std::int32_t LineCount() const noexcept { return line_count_; }
  std::int32_t ColumnCount() const noexcept { return column_count_; }

 protected:
  // Creates (or empties) the file as the stream; EFileCreateError on failure.
  virtual void CreateStream(const std::string& file_name);
  // Closes and frees the stream.
  virtual void CloseStream();
  // Numbers the grid and calls StorePage.
  virtual void ProcessPage();
  // Writes the numbered grid of the page; nothing here.
  virtual void StorePage();

  void SetStream(OutputStream stream) { stream_ = std::move(stream); }
  void ResetStream() noexcept { stream_.reset(); }
  // Closes the stream's file; EStreamWriteError when its data did not reach it.
  void CloseFileStream();

  const Font& BaseFont() const noexcept { return base_font_; }
  const std::vector<TTextEntry>& Entries() const noexcept { return entries_; }

  // The text of the first item at the column and row, and its font in `font`;
  // the empty text, with `font` untouched, when there is none.
  std::string FindText(std::int32_t column, std::int32_t row, Font& font) const;
  // The columns row (1..LineCount) writes, in order: 1 up to its last text
  // (just 1 when it has none). On a page whose grid would hold more than
  // kMaxGridCells cells, texts on rows and columns of their own, only the
  // columns with a text: the page then costs what its texts do.
  std::vector<std::int32_t> RowColumns(std::int32_t row) const;
  static constexpr std::uint64_t kMaxGridCells = std::uint64_t{1} << 20;
  // Writes the bytes as they are; EStreamWriteError when they cannot be written.
  void WriteText(std::string_view text);
  // WriteText, then CR LF.
  void WriteLine(std::string_view text);

 private:
  void NumberPage();
  void ClearEntries() noexcept;

  std::optional<OutputStream> stream_;
  std::vector<TTextEntry> entries_;
  std::unordered_map<std::uint64_t, std::size_t> first_in_cell_;  // (column, row) -> entry
  std::vector<std::int32_t> last_column_;                         // by row - 1
  std::vector<std::vector<std::int32_t>> text_columns_;           // by row - 1, when sparse
  bool sparse_ = false;
  Font base_font_;
  std::int32_t line_count_ = 0;
  std::int32_t column_count_ = 0;
};

}  // namespace pravel
