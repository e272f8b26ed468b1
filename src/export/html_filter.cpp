#include "export/html_filter.h"

#include <cstdint>

#include "export/strings.h"

namespace pravel {
namespace {

int SizeStep(int size) noexcept {
  if (size <= 8) return 0;
  if (size <= 10) return 1;
  if (size <= 12) return 2;
  if (size <= 14) return 3;
  if (size <= 18) return 4;
  if (size <= 24) return 5;
  return 7;
}

}  // namespace

std::string TQRHTMLDocumentFilter::Description() const { return std::string(texts::kHtmlFilterDescription); }

std::string TQRHTMLDocumentFilter::FileExtension() const { return "HTM"; }

std::string TQRHTMLDocumentFilter::FilterName() const { return std::string(texts::kHtmlFilterName); }

bool TQRHTMLDocumentFilter::Unpaged() const { return true; }

void TQRHTMLDocumentFilter::CreateStream(const std::string& file_name) {
  file_output_ = !file_name.empty();
  if (file_output_) {
    TQRAbstractExportFilter::CreateStream(file_name);
  } else {
    SetStream(OutputStream());
  }
}

void TQRHTMLDocumentFilter::CloseStream() {
  if (file_output_) CloseFileStream();
}

std::string HtmlColorDigits(ColorValue color) {
  // Upper-case hexadecimal, at least six digits: 0000FF for red, 80000008 for
  // a system colour.
  std::string digits;
  for (auto v = static_cast<std::uint32_t>(color); v != 0 || digits.size() < 6; v >>= 4) {
    digits.insert(digits.begin(), "0123456789ABCDEF"[v & 0xFu]);
  }
  return digits.substr(4, 2) + digits.substr(2, 2) + digits.substr(0, 2);
}

std::string HtmlSizeStep(int size, int base_size) {
  const int step = SizeStep(size) - SizeStep(base_size);
  return (step >= 0 ? "+" : "") + std::to_string(step);
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// A row holds its cells up to its last text (see RowColumns); browsers lay
// out a row of fewer cells as if the rest were empty.
void TQRHTMLDocumentFilter::StorePage() {
  WriteText("<TABLE WIDTH=100% CELLPADDING=2 BORDER=0>");
  for (std::int32_t row = 1; row <= LineCount(); ++row) {
    std::string line = "<TR>";
    for (const std::int32_t column : RowColumns(row)) {
      Font font;
      std::string text = FindText(column, row, font);
      if (!text.empty()) {
        text = HtmlEscape(text);
        std::string attributes;
        if (font.Color != BaseFont().Color) {
          attributes = "COLOR=\"#" + HtmlColorDigits(font.Color) + "\"";
        }
        if (font.Size != BaseFont().Size) {
          attributes += " SIZE=" + HtmlSizeStep(font.Size, BaseFont().Size);
        }
        if (!attributes.empty()) {
          text = std::string("<FONT ").append(attributes).append(">").append(text).append("</FONT>");
        }
      }
      line.append("<TD>").append(text).append("</TD>");
    }
    WriteLine(line + "</TR>");
  }
  WriteText("</TABLE>");
}

}  // namespace pravel
