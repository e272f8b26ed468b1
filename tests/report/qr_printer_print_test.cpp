#include <gtest/gtest.h>

#include <algorithm>

#include "platform/errors.h"
#include "report/qr_printer.h"
#include "report/qr_printer_test_util.h"
#include "report/test_files.h"

namespace pravel {
namespace {

using test::DrawPage;
using test::MessageLog;
using test::PageText;
using test::PrinterOn;
using test::TempDir;

// What a job amounted to: per sheet, the page drawn on it (0: blank).
std::vector<int> SheetPages(const ScriptedPrinterDevice& device) {
  std::vector<int> pages;
  for (const ScriptedSheet& sheet : device.SheetsDrawn()) {
    int page = 0;
    for (int n = 1; n <= 99 && !sheet.Texts.empty(); ++n) {
      if (sheet.Texts.front() == PageText(n)) page = n;
    }
    EXPECT_TRUE(sheet.Blank() || page != 0) << "a sheet with something else on it";
    pages.push_back(page);
  }
  return pages;
}

std::vector<JobStep> Steps(const ScriptedPrinterDevice& device) {
  std::vector<JobStep> steps;
  for (const JobCall& call : device.Calls()) steps.push_back(call.Step);
  return steps;
}

using enum JobStep;

// Produces `pages` pages, each drawn with its number.
void Produce(TQRPrinter& printer, int pages) {
  printer.BeginDoc();
  for (int n = 1; n <= pages; ++n) {
    printer.NewPage();
    ASSERT_NE(printer.Canvas(), nullptr);
    DrawPage(*printer.Canvas(), n, printer.XSize(printer.PaperWidth()), printer.YSize(printer.PaperLength()));
  }
}

class PrintTest : public ::testing::Test {
 protected:
  PrintTest() : printer_(PrinterOn({ScriptedA4Printer("Office")}, device_)) {}

  // A finished report of `pages` pages, then no job records.
  void MakeReport(int pages) {
    Produce(*printer_, pages);
    printer_->EndDoc();
    device_->ClearRecords();
  }

  MessageLog client_;  // outlive the printer
  MessageLog master_;
  ScriptedPrinterDevice* device_ = nullptr;
  std::unique_ptr<TQRPrinter> printer_;
};

TEST_F(PrintTest, ProducedPagesGoIntoThePageList) {
  printer_->SetClient(&client_);
  printer_->SetCompression(true);
  EXPECT_THROW(printer_->NewPage(), EQRError);
  Produce(*printer_, 3);
  EXPECT_EQ(printer_->Status(), TQRPrinterStatus::Busy);
  EXPECT_TRUE(printer_->GetPage(2));
  EXPECT_FALSE(printer_->GetPage(3));  // still open
  printer_->EndDoc();
  EXPECT_EQ(printer_->Status(), TQRPrinterStatus::Finished);
  EXPECT_EQ(printer_->PageCount(), 3);
  EXPECT_EQ(printer_->AvailablePages(), 3);
  EXPECT_EQ(client_.posted, (std::vector<Message>{{QRM_PAGEAVAILABLE, 1, 0},
                                                 {QRM_PAGEAVAILABLE, 2, 0},
                                                 {QRM_PAGEAVAILABLE, 3, 0}}));
  const auto page = printer_->GetPage(3);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->Width(), 794);
  EXPECT_EQ(page->Height(), 1123);
  EXPECT_TRUE(device_->Calls().empty());

  const TempDir dir;
  printer_->Save((dir / "made.qrp").string());
  TQRPrinter loaded;
  loaded.Load((dir / "made.qrp").string());
  EXPECT_EQ(loaded.PageCount(), 3);
  EXPECT_TRUE(std::ranges::equal(loaded.GetPage(2)->Data(), printer_->GetPage(2)->Data()));

  EXPECT_THROW(printer_->BeginDoc(), EQRError);
  EXPECT_EQ(printer_->PageCount(), 3);
  printer_->Cleanup();
  EXPECT_FALSE(printer_->GetPage(1));
  printer_->BeginDoc();
  EXPECT_EQ(printer_->Status(), TQRPrinterStatus::Busy);
}

TEST_F(PrintTest, AbortKeepsThePagesMadeSoFar) {
  Produce(*printer_, 3);
  printer_->Cancel();
  printer_->Abort();
  EXPECT_EQ(printer_->Status(), TQRPrinterStatus::Finished);
  EXPECT_TRUE(printer_->GetPage(3));
  const TempDir dir;
  printer_->Save((dir / "stopped.qrp").string());
  TQRPrinter loaded;
  loaded.Load((dir / "stopped.qrp").string());
  EXPECT_EQ(loaded.PageCount(), 3);
  EXPECT_TRUE(loaded.GetPage(3));
  // Aborting what is not being produced changes nothing.
  printer_->Abort();
  EXPECT_EQ(printer_->PageCount(), 3);
}

TEST_F(PrintTest, CleanupCancelsAProduction) {
  Produce(*printer_, 2);
  printer_->Cleanup();
  EXPECT_TRUE(printer_->Cancelled());
  EXPECT_EQ(printer_->Status(), TQRPrinterStatus::Ready);
  EXPECT_EQ(printer_->Canvas(), nullptr);
  printer_->BeginDoc();
  EXPECT_FALSE(printer_->Cancelled());
}

struct RangeCase {
  int first, last;
  std::vector<int> sheets;  // page on each sheet, 0 for blank
};

TEST_F(PrintTest, PrintsTheRangeOnePagePerSheet) {
  MakeReport(5);
  printer_->SetTitle("report.qrp");
  for (const RangeCase& c : {RangeCase{0, 0, {1, 2, 3, 4, 5}}, RangeCase{2, 0, {2, 3, 4, 5}},
                             RangeCase{0, 7, {1, 2, 3, 4, 5, 0, 0}}, RangeCase{4, 2, {0}}}) {
    SCOPED_TRACE(std::to_string(c.first) + "/" + std::to_string(c.last));
    device_->ClearRecords();
    printer_->SetFirstPage(c.first);
    printer_->SetLastPage(c.last);
    printer_->Print();
    EXPECT_EQ(SheetPages(*device_), c.sheets);
    EXPECT_EQ(device_->SheetsPrinted(), static_cast<int>(c.sheets.size()));
    EXPECT_EQ(device_->Calls().front(), (JobCall{BeginDoc, "report.qrp"}));
    EXPECT_EQ(Steps(*device_).back(), EndDoc);
    // Each page fills the printable area.
    const ScriptedSheet& sheet = device_->SheetsDrawn().front();
    if (!sheet.Blank()) {
      EXPECT_NEAR(sheet.Bounds.right, device_->GetDeviceCaps(DeviceCap::HORZRES) * 784.0 / 794, 4);
    }
  }
  EXPECT_EQ(printer_->Status(), TQRPrinterStatus::Finished);
}

TEST_F(PrintTest, PrintSendsCopiesAndOrientationToTheDevice) {
  MakeReport(2);
  printer_->SetCopies(3);
  printer_->SetOrientation(TPrinterOrientation::poLandscape);
  printer_->Print();
  ASSERT_FALSE(device_->Selections().empty());
  const DeviceMode mode = *device_->Selections().back().Mode;
  EXPECT_EQ(mode.dmCopies, 3);
  EXPECT_EQ(mode.dmOrientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(SheetPages(*device_), (std::vector{1, 2}));  // copies are the driver's
  const int width = device_->GetDeviceCaps(DeviceCap::HORZRES);
  EXPECT_GT(width, device_->GetDeviceCaps(DeviceCap::VERTRES));
  EXPECT_NEAR(device_->SheetsDrawn()[1].Bounds.left, width * 10.0 / 794, 2);
}

TEST_F(PrintTest, CancelStopsAfterThePageInHand) {
  // A cancel left over from the production does not stop the print.
  Produce(*printer_, 4);
  printer_->Cancel();
  printer_->Abort();
  printer_->Print();
  EXPECT_EQ(SheetPages(*device_), (std::vector{1, 2, 3, 4}));
  device_->ClearRecords();

  int pumped = 0;
  SetMessagePump([&] {
    if (++pumped == 2) printer_->Cancel();
  });
  printer_->Print();
  SetMessagePump(nullptr);
  EXPECT_EQ(Steps(*device_), (std::vector{BeginDoc, NewPage, NewPage, Abort}));
  EXPECT_EQ(SheetPages(*device_), (std::vector{1, 2, 0}));
  EXPECT_EQ(device_->SheetsPrinted(), 0);
}

TEST_F(PrintTest, PrintDoesNothingWhenItCannot) {
  printer_->SetMaster(&master_);
  MakeReport(2);
  printer_->Print();  // the report prints itself again
  EXPECT_EQ(master_.posted, (std::vector<Message>{{QRM_PRINT, 0, 0}}));
  EXPECT_TRUE(device_->Calls().empty());
  EXPECT_TRUE(device_->Selections().empty());

  printer_->SetMaster(nullptr);
  printer_->Cleanup();
  Produce(*printer_, 1);
  printer_->Print();  // Busy
  TQRPrinter no_printer;
  Produce(no_printer, 1);
  no_printer.EndDoc();
  no_printer.Print();
  EXPECT_TRUE(device_->Calls().empty());
}

TEST_F(PrintTest, PrintEndsTheJobWhenAPageFails) {
  const TempDir dir;
  test::WriteReport(dir / "r.qrp", test::DrawnPages(3));
  Bytes bytes = test::ReadFileBytes(dir / "r.qrp");
  const auto second = static_cast<std::size_t>(LoadU32(bytes, 128 + 4));  // the record after page 1
  bytes[second + 8 + 40] ^= 0xFF;
  test::WriteFileBytes(dir / "r.qrp", bytes);
  printer_->Load((dir / "r.qrp").string());
  device_->BeginDoc();  // a job left running is aborted first
  EXPECT_THROW(printer_->Print(), EMetafileError);
  EXPECT_EQ(Steps(*device_), (std::vector{BeginDoc, Abort, BeginDoc, NewPage, EndDoc}));
  EXPECT_FALSE(device_->Printing());
}

TEST_F(PrintTest, ProductionStraightToThePrinter) {
  printer_->SetClient(&client_);
  printer_->SetDestination(TQRPrinterDestination::Printer);
  printer_->SetTitle("direct");
  printer_->SetFirstPage(3);
  printer_->SetLastPage(4);
  int after_print = 0;
  printer_->OnAfterPrint = [&](TQRPrinter&) { ++after_print; };
  printer_->BeginDoc();
  const long double printer_factor = 300 / 254.0L;
  for (int n = 1; n <= 6; ++n) {
    printer_->NewPage();
    EXPECT_EQ(printer_->XFactor(), n == 3 || n == 4 ? printer_factor : 96 / 254.0L) << n;
    DrawPage(*printer_->Canvas(), n, 400, 400);
  }
  EXPECT_TRUE(device_->Printing());
  printer_->EndDoc();
  EXPECT_EQ(Steps(*device_), (std::vector{BeginDoc, NewPage, EndDoc}));
  EXPECT_EQ(device_->Calls().front().Title, "direct");
  EXPECT_EQ(SheetPages(*device_), (std::vector{3, 4}));
  EXPECT_EQ(printer_->AvailablePages(), 6);
  EXPECT_EQ(client_.posted.size(), 6U);
  EXPECT_EQ(after_print, 1);
  EXPECT_FALSE(printer_->GetPage(3));

  // Every page in range: one sheet per page, the last ended by EndDoc.
  printer_->Cleanup();
  printer_->SetFirstPage(0);
  printer_->SetLastPage(0);
  device_->ClearRecords();
  Produce(*printer_, 3);
  printer_->EndDoc();
  EXPECT_EQ(SheetPages(*device_), (std::vector{1, 2, 3}));
  EXPECT_EQ(device_->SheetsPrinted(), 3);
}

TEST_F(PrintTest, AbortStraightToThePrinter) {
  printer_->SetDestination(TQRPrinterDestination::Printer);
  printer_->SetFirstPage(5);
  Produce(*printer_, 2);  // no page in range yet: no job
  EXPECT_NO_THROW(printer_->Abort());
  EXPECT_TRUE(device_->Calls().empty());
  EXPECT_EQ(printer_->Status(), TQRPrinterStatus::Finished);

  printer_->Cleanup();
  printer_->SetFirstPage(0);
  Produce(*printer_, 2);
  printer_->Abort();
  EXPECT_EQ(Steps(*device_), (std::vector{BeginDoc, NewPage, Abort}));
  EXPECT_EQ(device_->SheetsPrinted(), 0);
}

}  // namespace
}  // namespace pravel
