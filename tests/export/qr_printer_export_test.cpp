#include <gtest/gtest.h>

#include "export/export_filter.h"
#include "platform/platform.h"
#include "report/qr_printer.h"
#include "report/qr_printer_test_util.h"
#include "report/test_files.h"

namespace pravel {
namespace {

TEST(QRPrinterExport, LoadInstallsTheLoadedReportExporter) {
  const test::TempDir dir;
  test::WriteReport(dir / "r.qrp", test::DrawnPages(1));
  TQRExportFilter filter((dir / "out.txt").string());
  std::vector<std::pair<const TQRPrinter*, const TQRExportFilter*>> exports;

  TQRPrinter printer;
  int report_exports = 0;
  printer.OnExportToFilter = [&](TQRExportFilter&) { ++report_exports; };
  printer.ExportToFilter(filter);
  EXPECT_EQ(report_exports, 1);

  // Without an exporter a loaded report exports nothing.
  printer.Load((dir / "r.qrp").string());
  printer.ExportToFilter(filter);
  EXPECT_EQ(report_exports, 1);

  {
    Platform platform;
    platform.ExportLoadedReport = [&](TQRPrinter& p, TQRExportFilter& f) { exports.emplace_back(&p, &f); };
    printer.Load((dir / "r.qrp").string());
  }
  printer.ExportToFilter(filter);
  EXPECT_EQ(report_exports, 1);
  EXPECT_EQ(exports, (decltype(exports){{&printer, &filter}}));
  EXPECT_FALSE(filter.Active());
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"r.qrp"});  // no output file
}

}  // namespace
}  // namespace pravel
