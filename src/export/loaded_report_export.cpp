#include "export/loaded_report_export.h"

#include <optional>
#include <utility>

#include "export/text_collector.h"
#include "platform/rounding.h"

namespace pravel {

namespace {

struct PaperSize {
  double width = 0;   // 0.1 mm
  double height = 0;  // 0.1 mm
};

// The page's picture frame (0.01 mm) in 0.1 mm; the printer's paper when
// the frame is empty.
PaperSize PaperOf(const gdi::Metafile& page, const TQRPrinter& printer) {
  const gdi::RectL& frame = page.Header().rclFrame;
  const double width = (static_cast<double>(frame.right) - frame.left) / 10;
  const double height = (static_cast<double>(frame.bottom) - frame.top) / 10;
  if (width > 0 && height > 0) return {width, height};
  return {static_cast<double>(printer.PaperWidth()), static_cast<double>(printer.PaperLength())};
}

// Sends the page's texts with the paper's top edge at `top`; returns the
// paper's height.
double ExportPage(const gdi::Metafile& page, std::int32_t n, TQRPrinter& printer, double top, TQRExportFilter& filter) {
  const PaperSize paper = PaperOf(page, printer);
  bool stopped = false;
  const auto texts = CollectTexts(page, {0, top, paper.width, top + paper.height}, &stopped);
  if (stopped) printer.NoteStoppedPage(n);
  for (const ExportText& t : texts) {
    filter.TextOut(t.X, t.Y, t.Font, t.BackgroundColor, t.Alignment, t.Text);
  }
  return paper.height;
}

}  // namespace

Font LoadedReportFont() {
  Font font;
  font.Name = "Arial";
  font.Size = 8;
  font.Color = kColorBlack;
  return font;
}

void ExportLoadedReport(TQRPrinter& printer, TQRExportFilter& filter) { ExportLoadedReportPages(printer, filter, {}); }

void ExportLoadedReportPages(TQRPrinter& printer, TQRExportFilter& filter,
                             const std::function<void(int page)>& page_done) {
  const std::int32_t pages = printer.PageCount();
  std::optional<gdi::Metafile> first = pages > 0 ? printer.GetPage(1) : std::nullopt;
  const PaperSize paper =
      first ? PaperOf(*first, printer)
            : PaperSize{static_cast<double>(printer.PaperWidth()), static_cast<double>(printer.PaperLength())};
  filter.Start(RoundHalfEven(paper.width), RoundHalfEven(paper.height), LoadedReportFont());
  filter.EndPage();
  const bool unpaged = filter.Unpaged();
  if (unpaged && pages > 0) filter.NewPage();
  double top = 0;
  for (std::int32_t n = 1; n <= pages; ++n) {
    std::optional<gdi::Metafile> page;
    if (n == 1) {
      page.swap(first);  // read above for its paper size
    } else {
      page = printer.GetPage(n);
    }
    if (!unpaged) filter.NewPage();
    if (page) {
      const double height = ExportPage(*page, n, printer, top, filter);
      if (unpaged) top += height;
    }
    if (!unpaged) filter.EndPage();
    if (page_done) page_done(n);
  }
  if (unpaged && pages > 0) filter.EndPage();
  filter.Finish();
}

}  // namespace pravel
