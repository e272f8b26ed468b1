#include "engine/report_canvas.h"

#include <cmath>

#include "platform/rounding.h"

namespace pravel {

namespace {

using gdi::EmfRecorder;

constexpr long double kTenthMmPerInch = 254;

gdi::RectL Box(const TQRPrinter& printer, long double left, long double top, long double width, long double height) {
  return {printer.XPos(left), printer.YPos(top), printer.XPos(left + width), printer.YPos(top + height)};
}

std::uint32_t TextAlign(TQRAlignment alignment) noexcept {
  switch (alignment) {
    case TQRAlignment::RightJustify: return EmfRecorder::kTaRight | EmfRecorder::kTaTop;
    case TQRAlignment::Center: return EmfRecorder::kTaCenter | EmfRecorder::kTaTop;
    case TQRAlignment::LeftJustify: break;
  }
  return EmfRecorder::kTaLeft | EmfRecorder::kTaTop;
}

}  // namespace

std::vector<std::int32_t> PixelAdvances(const std::vector<long double>& advances, long double factor) {
  std::vector<std::int32_t> dx;
  dx.reserve(advances.size());
  long double total = 0;
  std::int32_t placed = 0;
  for (const long double advance : advances) {
    total += advance;
    const std::int32_t end = RoundHalfEven(total * factor);
    dx.push_back(end - placed);
    placed = end;
  }
  return dx;
}

void DrawLabel(TQRPrinter& printer, const TQRLabel& label, const TQRPage& page, const TextMeasure& measure) {
  EmfRecorder* canvas = printer.Canvas();
  if (canvas == nullptr) return;
  const gdi::RectL box = Box(printer, label.Left, label.Top, label.Width, label.Height);
  if (!label.Transparent) {
    const EmfRecorder::Handle brush = canvas->CreateSolidBrush(ColorToRgb(label.Color));
    canvas->SelectObject(brush);
    canvas->SelectStockObject(EmfRecorder::Stock::NullPen);
    // Without an outline the fill stops one pixel short of right and bottom.
    canvas->Rectangle({box.left, box.top, box.right + 1, box.bottom + 1});
    canvas->SelectStockObject(EmfRecorder::Stock::WhiteBrush);
    canvas->DeleteObject(brush);
  }

  const int pixels_per_inch = static_cast<int>(std::lround(printer.YFactor() * kTenthMmPerInch));
  const EmfRecorder::Handle font = canvas->CreateFont(gdi::LogFontFromFont(label.Font, pixels_per_inch));
  canvas->SelectObject(font);
  canvas->SetTextColor(ColorToRgb(label.Font.Color));
  canvas->SetBkMode(gdi::BackgroundMode::Transparent);
  canvas->SetTextAlign(TextAlign(label.Alignment));
  for (const TQRPrintedLine& line : LabelLines(label, page, measure)) {
    const std::vector<std::int32_t> dx = PixelAdvances(measure.Advances(label.Font, line.Text), printer.XFactor());
    std::vector<std::int32_t> fitted(CodePoints(line.Text).size(), 0);
    std::copy_n(dx.begin(), std::min(dx.size(), fitted.size()), fitted.begin());
    canvas->ExtTextOut({printer.XPos(line.X), printer.YPos(line.Y)}, std::string_view(line.Text), fitted,
                       EmfRecorder::kEtoClipped, box);
  }
  canvas->SelectStockObject(EmfRecorder::Stock::SystemFont);
  canvas->DeleteObject(font);
}

void DrawImage(TQRPrinter& printer, const TQRImage& image) {
  EmfRecorder* canvas = printer.Canvas();
  const gdi::Bitmap& picture = image.Picture;
  if (canvas == nullptr || picture.width <= 0 || picture.height <= 0) return;
  if (picture.pixels.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
    return;
  }
  const TQRRect at = PictureRect(image);
  canvas->StretchDIBits(Box(printer, at.Left, at.Top, at.Width, at.Height), picture);
}

}  // namespace pravel
