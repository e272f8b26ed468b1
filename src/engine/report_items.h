#pragma once
// The page setup of a report and the printable items placed on it, with
// their layout. Lengths are in 0.1 mm from the paper's top-left corner.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "engine/text_measure.h"
#include "platform/font.h"
#include "platform/gdi/dib.h"
#include "printing/paper.h"

namespace pravel {

enum class TQRAlignment : std::uint8_t { LeftJustify, RightJustify, Center };

struct TQRPage {
  TQRPaperSize PaperSize = TQRPaperSize::A4;
  TPrinterOrientation Orientation = TPrinterOrientation::poPortrait;
  // Across and down the page in portrait orientation.
  long double Width = 2100;
  long double Length = 2970;
  long double TopMargin = 100;
  long double BottomMargin = 100;
  long double LeftMargin = 100;
  long double RightMargin = 100;

  // The paper extent in the page's orientation.
  long double PaperWidth() const noexcept;
  long double PaperLength() const noexcept;
};

struct TQRLabel {
  std::string Name{};
  long double Left = 0, Top = 0, Width = 0, Height = 0;
  std::string Caption{};
  ::pravel::Font Font{};
  ColorValue Color = kColorWhite;  // the background
  bool Transparent = false;
  TQRAlignment Alignment = TQRAlignment::LeftJustify;
  // Aligned across the report between its margins rather than in its box.
  bool AlignToBand = false;
  bool WordWrap = true;
};

// A picture shown at its own size (96 pixels to the inch) centred in its
// frame, scaled down to the frame when larger.
struct TQRImage {
  std::string Name{};
  long double Left = 0, Top = 0, Width = 0, Height = 0;
  gdi::Bitmap Picture{};
};

using TQRPrintable = std::variant<TQRLabel, TQRImage>;

struct TQRRect {
  long double Left = 0, Top = 0, Width = 0, Height = 0;
};

// One line a label prints: X is its left edge, right edge or centre by the
// label's alignment, Y its top.
struct TQRPrintedLine {
  long double X = 0, Y = 0;
  std::string Text;
};

// The caption split into lines: at line breaks, and with word wrap where a
// line would be wider than `width` (at blanks, or inside a word too long for
// a line of its own).
std::vector<std::string> WrapText(const std::string& text, const Font& font, long double width, bool word_wrap,
                                  const TextMeasure& measure);

// The lines a label prints: those starting inside its box, the first always.
std::vector<TQRPrintedLine> LabelLines(const TQRLabel& label, const TQRPage& page, const TextMeasure& measure);

// Where a picture is drawn.
TQRRect PictureRect(const TQRImage& image);

}  // namespace pravel
