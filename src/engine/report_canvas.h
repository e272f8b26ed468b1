#pragma once
// Draws a report's printable items on the page under construction of a
// report printer, through its page geometry.

#include "engine/report_items.h"
#include "engine/text_measure.h"
#include "report/qr_printer.h"

namespace pravel {

void DrawLabel(TQRPrinter& printer, const TQRLabel& label, const TQRPage& page, const TextMeasure& measure);
void DrawImage(TQRPrinter& printer, const TQRImage& image);

// Pixel advances of a run whose advances in 0.1 mm are given: each
// character ends where its rounded running total ends.
std::vector<std::int32_t> PixelAdvances(const std::vector<long double>& advances, long double factor);

}  // namespace pravel
