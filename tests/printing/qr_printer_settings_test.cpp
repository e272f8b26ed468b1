#include "printing/qr_printer_settings.h"

#include <gtest/gtest.h>

namespace pravel {
namespace {

TEST(QRPrinterSettings, InitialValues) {
  const TQRCompositePrinterSettings s;
  EXPECT_EQ(s.Copies(), 1);
  EXPECT_FALSE(s.Duplex());
  EXPECT_EQ(s.Orientation(), TPrinterOrientation::poPortrait);
  EXPECT_EQ(s.OutputBin(), TQRBin::Auto);
  EXPECT_EQ(s.PaperSize(), TQRPaperSize::Letter);
  EXPECT_EQ(s.PrinterIndex(), -1);
  EXPECT_EQ(s.Title(), "");
  EXPECT_EQ(s.FirstPage(), 0);
  EXPECT_EQ(s.LastPage(), 0);
  EXPECT_EQ(TQRReportPrinterSettings::kPublished.size(), 5U);
  EXPECT_EQ(TQRCompositePrinterSettings::kPublished.back(), "PaperSize");
}

}  // namespace
}  // namespace pravel
