#pragma once
// Export runs of a report component through an export filter.

#include "engine/qr_report.h"
#include "export/export_filter.h"

namespace pravel {

// Generates `report` once with `filter` receiving its text (RunExport).
void ExportReport(TQRReport& report, TQRExportFilter& filter);

}  // namespace pravel
