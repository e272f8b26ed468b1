#include <gtest/gtest.h>

#include <algorithm>

#include "platform/errors.h"
#include "platform/platform.h"
#include "report/qr_printer.h"
#include "report/qr_printer_test_util.h"
#include "report/test_files.h"
#include "support/scripted_printer_device.h"

namespace pravel {
namespace {

using test::DrawPage;
using test::TempDir;
using enum JobStep;

void Produce(TQRPrinter& printer, int pages) {
  printer.BeginDoc();
  for (int n = 1; n <= pages; ++n) {
    printer.NewPage();
    DrawPage(*printer.Canvas(), n, printer.XSize(printer.PaperWidth()), printer.YSize(printer.PaperLength()));
  }
}

class PrintTest : public ::testing::Test {
 protected:
  PrintTest() {
    auto device = std::make_unique<ScriptedPrinterDevice>(std::vector{ScriptedA4Printer("Office")});
    device_ = device.get();
    printer_ = std::make_unique<TQRPrinter>(std::move(device));
  }

  void MakeReport(int pages) {
    Produce(*printer_, pages);
    printer_->EndDoc();
    device_->ClearRecords();
  }

  // The page on each sheet of the last job, 0 for a blank sheet.
  std::vector<int> SheetPages() const {
    std::vector<int> pages;
    for (const ScriptedSheet& sheet : device_->SheetsDrawn()) {
      int page = 0;
      for (int n = 1; n <= 9 && !sheet.Blank(); ++n) page = sheet.Texts.at(0) == test::PageText(n) ? n : page;
      pages.push_back(page);
    }
    return pages;
  }

  std::vector<JobStep> Steps() const {
    std::vector<JobStep> steps;
    for (const JobCall& call : device_->Calls()) steps.push_back(call.Step);
    return steps;
  }

  test::MessageLog client_;  // outlives the printer
  ScriptedPrinterDevice* device_ = nullptr;
  std::unique_ptr<TQRPrinter> printer_;
};

TEST_F(PrintTest, ProducedPagesGoIntoThePageList) {
  printer_->SetClient(&client_);
  printer_->SetCompression(true);
  EXPECT_THROW(printer_->NewPage(), EQRError);
  Produce(*printer_, 3);
  EXPECT_TRUE(printer_->GetPage(2));
  EXPECT_FALSE(printer_->GetPage(3));  // still open
  printer_->EndDoc();
  EXPECT_EQ(printer_->Status(), TQRPrinterStatus::Finished);
  EXPECT_EQ(client_.posted,
            (std::vector<Message>{{QRM_PAGEAVAILABLE, 1, 0}, {QRM_PAGEAVAILABLE, 2, 0}, {QRM_PAGEAVAILABLE, 3, 0}}));
  EXPECT_EQ(printer_->GetPage(3)->Width(), 794);
  EXPECT_TRUE(device_->Calls().empty());

  const TempDir dir;
  printer_->Save((dir / "made.qrp").string());
  TQRPrinter loaded;
  loaded.Load((dir / "made.qrp").string());
  EXPECT_EQ(loaded.PageCount(), 3);
  EXPECT_TRUE(std::ranges::equal(loaded.GetPage(3)->Data(), printer_->GetPage(3)->Data()));

  EXPECT_THROW(printer_->BeginDoc(), EQRError);
  printer_->Cleanup();
  EXPECT_FALSE(printer_->GetPage(1));
  Produce(*printer_, 1);
  printer_->Cleanup();  // cancels the production
  EXPECT_TRUE(printer_->Cancelled());
  EXPECT_EQ(printer_->Canvas(), nullptr);
}

TEST_F(PrintTest, AbortKeepsThePagesMadeSoFar) {
  Produce(*printer_, 3);
  printer_->Abort();
  const TempDir dir;
  printer_->Save((dir / "stopped.qrp").string());
  TQRPrinter loaded;
  loaded.Load((dir / "stopped.qrp").string());
  EXPECT_EQ(loaded.PageCount(), 3);
}

TEST_F(PrintTest, PrintsTheRangeOnePagePerSheet) {
  struct Range {
    int first, last;
    std::vector<int> sheets;
  };
  MakeReport(5);
  printer_->SetTitle("report.qrp");
  for (const Range& c : {Range{0, 0, {1, 2, 3, 4, 5}}, Range{2, 0, {2, 3, 4, 5}}, Range{0, 7, {1, 2, 3, 4, 5, 0, 0}},
                         Range{4, 2, {0}}}) {
    SCOPED_TRACE(std::to_string(c.first) + "/" + std::to_string(c.last));
    device_->ClearRecords();
    printer_->SetFirstPage(c.first);
    printer_->SetLastPage(c.last);
    printer_->Print();
    EXPECT_EQ(SheetPages(), c.sheets);
    EXPECT_EQ(device_->SheetsPrinted(), static_cast<int>(c.sheets.size()));
    EXPECT_EQ(device_->Calls().front(), (JobCall{BeginDoc, "report.qrp"}));
  }
  // Landscape: the page fills the turned printable area.
  printer_->SetFirstPage(0);
  printer_->SetLastPage(0);
  printer_->SetOrientation(TPrinterOrientation::poLandscape);
  printer_->SetCopies(3);
  printer_->Print();
  const DeviceMode mode = *device_->Selections().back().Mode;
  EXPECT_EQ(mode.dmOrientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(mode.dmCopies, 3);
  EXPECT_EQ(SheetPages().size(), 5U);  // the driver makes the copies
  const int width = device_->GetDeviceCaps(DeviceCap::HORZRES);
  EXPECT_GT(width, device_->GetDeviceCaps(DeviceCap::VERTRES));
  EXPECT_NEAR(device_->SheetsDrawn()[0].Bounds.right, width * 784.0 / 794, 4);
}

TEST_F(PrintTest, CancelStopsAfterThePageInHand) {
  Produce(*printer_, 4);
  printer_->Cancel();
  printer_->Abort();
  printer_->Print();  // a cancel left over from the production does not count
  EXPECT_EQ(SheetPages(), (std::vector{1, 2, 3, 4}));
  device_->ClearRecords();
  int pumped = 0;
  {
    Platform platform;
    platform.MessagePump = [&] {
      if (++pumped == 2) printer_->Cancel();
    };
    printer_->Print();
  }
  EXPECT_EQ(Steps(), (std::vector{BeginDoc, NewPage, NewPage, Abort}));
  EXPECT_EQ(SheetPages(), (std::vector{1, 2, 0}));
}

TEST_F(PrintTest, PrintOnlyWhenItCan) {
  test::MessageLog master;
  printer_->SetMaster(&master);
  MakeReport(2);
  printer_->Print();  // the report makes its pages again
  printer_->SetMaster(nullptr);
  EXPECT_EQ(master.posted, (std::vector<Message>{{QRM_PRINT, 0, 0}}));
  printer_->Cleanup();
  Produce(*printer_, 1);
  printer_->Print();  // Busy
  EXPECT_TRUE(device_->Calls().empty() && device_->Selections().empty());
  TQRPrinter no_printer;
  Produce(no_printer, 1);
  no_printer.EndDoc();
  EXPECT_NO_THROW(no_printer.Print());
}

TEST_F(PrintTest, PrintEndsTheJobWhenAPageFails) {
  const TempDir dir;
  test::WriteReport(dir / "r.qrp", test::DrawnPages(3));
  Bytes bytes = test::ReadFileBytes(dir / "r.qrp");
  bytes[LoadU32(bytes, 128 + 4) + 8 + 40] ^= 0xFF;  // page 2's EMF signature
  test::WriteFileBytes(dir / "r.qrp", bytes);
  printer_->Load((dir / "r.qrp").string());
  device_->BeginDoc();  // a job left running is aborted first
  EXPECT_THROW(printer_->Print(), EMetafileError);
  EXPECT_EQ(Steps(), (std::vector{BeginDoc, Abort, BeginDoc, NewPage, EndDoc}));
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
  for (int n = 1; n <= 6; ++n) {
    printer_->NewPage();
    EXPECT_EQ(printer_->XFactor(), (n == 3 || n == 4 ? 300 : 96) / 254.0L) << n;
    DrawPage(*printer_->Canvas(), n, 400, 400);
  }
  printer_->EndDoc();
  EXPECT_EQ(Steps(), (std::vector{BeginDoc, NewPage, EndDoc}));
  EXPECT_EQ(device_->Calls().front().Title, "direct");
  EXPECT_EQ(SheetPages(), (std::vector{3, 4}));
  EXPECT_EQ(client_.posted.size(), 6U);
  EXPECT_EQ(printer_->AvailablePages(), 6);
  EXPECT_EQ(after_print, 1);

  // All pages in range: one sheet per page, the last ended by EndDoc.
  printer_->Cleanup();
  printer_->SetFirstPage(0);
  printer_->SetLastPage(0);
  device_->ClearRecords();
  Produce(*printer_, 3);
  printer_->EndDoc();
  EXPECT_EQ(SheetPages(), (std::vector{1, 2, 3}));

  // Abort before a page in range started the job, then after.
  for (const int first : {5, 0}) {
    printer_->Cleanup();
    printer_->SetFirstPage(first);
    device_->ClearRecords();
    Produce(*printer_, 2);
    EXPECT_NO_THROW(printer_->Abort());
    EXPECT_EQ(printer_->Status(), TQRPrinterStatus::Finished);
    const std::vector<JobStep> steps = first == 5 ? std::vector<JobStep>{} : std::vector{BeginDoc, NewPage, Abort};
    EXPECT_EQ(Steps(), steps);
  }
}

}  // namespace
}  // namespace pravel
