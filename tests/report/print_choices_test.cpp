#include "report/print_choices.h"

#include <gtest/gtest.h>

#include "report/qr_printer_test_util.h"
#include "report/test_files.h"
#include "support/scripted_printer_device.h"

namespace pravel {
namespace {

TEST(PrintChoices, TheLoadedReportPrintsOnTheChosenPrinterWithItsPaper) {
  test::TempDir dir;
  test::WriteReport(dir / "r6.qrp", test::DrawnPages(6));
  ScriptedPrinter lab = ScriptedA4Printer("Lab", 600);
  lab.DefaultMode->dmPaperSize = 1;  // Letter unless told otherwise
  auto* device = new ScriptedPrinterDevice({ScriptedA4Printer("Office"), lab});
  TQRPrinter printer{std::unique_ptr<PrinterDevice>(device)};
  printer.Load((dir / "r6.qrp").string());
  ASSERT_EQ(printer.PaperSize(), TQRPaperSize::A4);

  TQRPrinterSettings choices;
  choices.SetPrinterIndex(1);
  choices.SetCopies(2);
  choices.SetFirstPage(2);
  choices.SetLastPage(4);
  ApplyPrintChoices(printer, choices, TPrinterOrientation::poLandscape);
  printer.Print();

  EXPECT_EQ(device->PrinterIndex(), 1);
  EXPECT_EQ(device->SheetsPrinted(), 3);
  const DeviceMode& mode = *device->Selections().back().Mode;
  EXPECT_EQ(mode.dmPaperSize, 9);
  EXPECT_EQ(mode.dmCopies, 2);
  EXPECT_EQ(mode.dmOrientation, DMORIENT_LANDSCAPE);
}

TEST(PrintChoices, WhatThePrinterCannotTakeIsDropped) {
  test::TempDir dir;
  test::WriteReport(dir / "r2.qrp", test::DrawnPages(2));
  ScriptedPrinter bare = ScriptedA4Printer("Bare");
  bare.DefaultMode->dmFields = DM_PAPERSIZE;  // neither copies nor orientation
  bare.DefaultMode->dmPaperSize = 1;
  bare.Papers = {1};  // Letter only
  auto* device = new ScriptedPrinterDevice({bare});
  TQRPrinter printer{std::unique_ptr<PrinterDevice>(device)};
  printer.Load((dir / "r2.qrp").string());

  TQRPrinterSettings choices;
  choices.SetCopies(5);
  ApplyPrintChoices(printer, choices, TPrinterOrientation::poLandscape);
  EXPECT_EQ(printer.Copies(), 1);
  EXPECT_EQ(printer.Orientation(), TPrinterOrientation::poPortrait);
  EXPECT_EQ(printer.PaperSize(), TQRPaperSize::Letter);
}

}  // namespace
}  // namespace pravel
