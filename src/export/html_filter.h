#pragma once
// HTML table fragments: one table per page, one row per grid row, one cell per
// grid column, with a font element where colour or size differ from the
// report font.

#include "export/abstract_filter.h"

namespace pravel {

class TQRHTMLDocumentFilter : public TQRAbstractExportFilter {
 public:
  using TQRAbstractExportFilter::TQRAbstractExportFilter;

  std::string Description() const override;
  std::string FileExtension() const override;
  std::string FilterName() const override;
  bool Unpaged() const override;

  // True when the output is a file; false for a memory stream (empty file
  // name), which stays readable through Stream() after Finish.
  bool FileOutput() const noexcept { return file_output_; }

 protected:
  void CreateStream(const std::string& file_name) override;
  void CloseStream() override;
  void StorePage() override;

 private:
  bool file_output_ = false;
};

// The colour's hexadecimal digits in the order HTML expects: FF0000 for red.
std::string HtmlColorDigits(ColorValue color);
// The size attribute's step (+2, -1, ...) of `size` against `base_size`.
std::string HtmlSizeStep(int size, int base_size);
// The text with & < > " written as character references.
std::string HtmlEscape(std::string_view text);

}  // namespace pravel
