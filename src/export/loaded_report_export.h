#pragma once
// Export of a report loaded from a .qrp file: its pages hold their text in
// EMF text records, which are played into filter calls.

#include <functional>

#include "export/export_filter.h"
#include "report/qr_printer.h"

namespace pravel {

// Sends the loaded report's text to `filter`: Start with page 1's paper size
// and an 8-point black Arial report font, then for each page EndPage, NewPage
// and one TextOut per text record in drawing order, then EndPage and Finish.
// Each page is stretched over its own paper size in 0.1 mm. An Unpaged filter
// gets all pages as one, each page below the one before. A page that cannot
// be read ends the export with its error; Finish is then not called.
void ExportLoadedReport(TQRPrinter& printer, TQRExportFilter& filter);
// The same, telling `page_done` the number of each page once it is sent.
void ExportLoadedReportPages(TQRPrinter& printer, TQRExportFilter& filter,
                             const std::function<void(int page)>& page_done);

// TQRPrinter::Load installs it as the report's export hook while it is the
// current Platform's ExportLoadedReport.
// The report font handed to Start.
Font LoadedReportFont();

}  // namespace pravel
