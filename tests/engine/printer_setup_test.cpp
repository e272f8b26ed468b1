// The report component's printer setup: the pages and orientation offered.

#include <gtest/gtest.h>

#include "engine/qr_report.h"
#include "platform/platform.h"
#include "printing/scripted_print_dialog.h"
#include "report/qr_printer_test_util.h"
#include "report/test_files.h"
#include "support/scripted_printer_device.h"

namespace pravel {
namespace {

class ReportPrinterSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_.PrinterDevices = [] {
      return std::make_unique<ScriptedPrinterDevice>(std::vector{ScriptedA4Printer("Office")});
    };
  }

  Platform platform_;
  test::ScriptedPrintDialog dialog_;
  TQRReport report_;
};

TEST_F(ReportPrinterSetupTest, OffersThePagesOfTheProducedOrTheShownLoadedReport) {
  report_.Preview();
  dialog_.Cancel();
  report_.PrinterSetup();
  EXPECT_EQ(dialog_.Requests().back().nMaxPage, 1);

  // A landscape report loaded from a file: its pages and orientation.
  test::TempDir dir;
  test::WriteReport(dir / "wide.qrp", {test::DrawnPage(1, 1123, 794), test::DrawnPage(2, 1123, 794)});
  TQRPrinter loaded;
  loaded.Load((dir / "wide.qrp").string());
  ASSERT_EQ(loaded.Orientation(), TPrinterOrientation::poLandscape);
  report_.PrinterSetup(&loaded);
  EXPECT_EQ(dialog_.Requests().back().nMaxPage, 2);
  EXPECT_EQ(dialog_.Requests().back().hDevMode->dmOrientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(report_.Page().Orientation, TPrinterOrientation::poPortrait);  // cancelled

  dialog_.Accept();
  report_.PrinterSetup(&loaded);
  EXPECT_EQ(report_.Page().Orientation, TPrinterOrientation::poLandscape);
}

}  // namespace
}  // namespace pravel
