#include "report/qr_printer.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/platform.h"
#include "report/qr_printer_test_util.h"
#include "report/test_files.h"
#include "support/scripted_printer_device.h"

namespace pravel {
namespace {

using test::DrawnPage;
using test::DrawnPages;
using test::TempDir;
using test::WriteReport;

std::unique_ptr<TQRPrinter> PrinterOn(std::vector<ScriptedPrinter> printers) {
  return std::make_unique<TQRPrinter>(std::make_unique<ScriptedPrinterDevice>(std::move(printers)));
}

TEST(QRPrinter, LoadReadsThePagesAndDropsTheReportHooks) {
  const TempDir dir;
  const auto path = dir / "three.qrp";
  WriteReport(path, DrawnPages(3));
  TQRPrinter printer;
  printer.Save((dir / "none.qrp").string());  // Ready: nothing
  EXPECT_EQ(dir.Names().size(), 1U);
  printer.OnPrintSetup = [](void*) { FAIL() << "a loaded report has no print setup"; };
  printer.OnExportToFilter = [](TQRExportFilter&) {};

  printer.Load(path.string());
  EXPECT_EQ(printer.Status(), TQRPrinterStatus::Finished);
  EXPECT_EQ(printer.PageCount(), 3);
  EXPECT_TRUE(printer.LoadedFromFile());
  EXPECT_FALSE(printer.OnExportToFilter);
  printer.PrintSetup();
  EXPECT_TRUE(printer.GetPage(1) && printer.GetPage(3));
  EXPECT_FALSE(printer.GetPage(0) || printer.GetPage(4));
  // A4 at the screen's resolution.
  EXPECT_EQ(printer.XSize(printer.PaperWidth()), 794);
  EXPECT_EQ(printer.YSize(printer.PaperLength()), 1123);

  printer.Save((dir / "copy.qrp").string());
  EXPECT_EQ(test::ReadFileBytes(dir / "copy.qrp"), test::ReadFileBytes(path));
  EXPECT_THROW(printer.Save(path.string()), EFileCreateError);
}

TEST(QRPrinter, LoadAgainReplacesTheReport) {
  const TempDir dir;
  WriteReport(dir / "two.qrp", DrawnPages(2));
  WriteReport(dir / "five.qrp", DrawnPages(5));
  WriteReport(dir / "empty.qrp", {});
  Bytes bad = test::ReadFileBytes(dir / "two.qrp");
  bad[128 + 8 + 40] ^= 0xFF;  // page 1's EMF signature
  test::WriteFileBytes(dir / "bad.qrp", bad);

  TQRPrinter printer;
  printer.Load((dir / "two.qrp").string());
  printer.Load((dir / "five.qrp").string());
  printer.Load((dir / "five.qrp").string());
  EXPECT_TRUE(printer.GetPage(5));
  printer.Load((dir / "empty.qrp").string());
  EXPECT_EQ(printer.Status(), TQRPrinterStatus::Finished);
  EXPECT_EQ(printer.PageCount(), 0);

  for (const std::string name : {"missing.qrp", "bad.qrp"}) {
    printer.Load((dir / "two.qrp").string());
    EXPECT_ANY_THROW(printer.Load((dir / name).string())) << name;
    EXPECT_EQ(printer.Status(), TQRPrinterStatus::Ready);
    EXPECT_FALSE(printer.GetPage(1));
    EXPECT_FALSE(printer.Stream());
  }
}

TEST(QRPrinter, LoadRecognisesThePaperOfPageOne) {
  using enum TQRPaperSize;
  constexpr auto P = TPrinterOrientation::poPortrait;
  constexpr auto L = TPrinterOrientation::poLandscape;
  const TempDir dir;
  ScriptedPrinter all = ScriptedA4Printer("All");
  all.Papers.clear();
  for (std::int16_t code = 1; code <= 26; ++code) all.Papers.push_back(code);

  const auto recognised = [&](std::vector<ScriptedPrinter> printers, int width, int height) {
    WriteReport(dir / "r.qrp", {DrawnPage(1, width, height)});
    auto printer = PrinterOn(std::move(printers));
    printer->SetPaperSize(Legal);
    printer->Load((dir / "r.qrp").string());
    return std::pair{printer->PaperSize(), printer->Orientation()};
  };
  EXPECT_EQ(recognised({all}, 794, 1123), std::pair(A4Small, P));  // W 52, H 74
  EXPECT_EQ(recognised({all}, 1123, 794), std::pair(A4Small, L));
  EXPECT_EQ(recognised({all}, 816, 1056), std::pair(Note, P));   // Letter: W 53, H 69
  EXPECT_EQ(recognised({all}, 378, 378), std::pair(ESheet, L));  // 100 mm square
  EXPECT_EQ(recognised({all}, 756, 756), std::pair(Legal, P));   // 200 mm square: none
  EXPECT_EQ(recognised({ScriptedA4Printer("A4")}, 1123, 794), std::pair(A4, L));
  EXPECT_EQ(recognised({}, 1123, 794), std::pair(A4, P));  // no printer
}

TEST(QRPrinter, GeometryRoundsHalvesToEven) {
  ScriptedPrinter exact = ScriptedA4Printer("Exact", 254);
  auto printer = PrinterOn({exact});
  printer->SetDestination(TQRPrinterDestination::Printer);
  printer->BeginDoc();
  EXPECT_EQ(printer->XSize(2.5L), 2);
  EXPECT_EQ(printer->XSize(3.5L), 4);
  EXPECT_EQ(printer->YSize(-2.5L), -2);

  ScriptedPrinter fine = ScriptedA4Printer("Fine", 600);
  fine.PhysicalOffsetX = 100;  // LeftWaste 42
  printer = PrinterOn({fine});
  EXPECT_EQ(printer->XPos(100), 58);  // factor 1 until a production starts
  printer->SetDestination(TQRPrinterDestination::Printer);
  printer->BeginDoc();
  EXPECT_EQ(printer->XPos(100), 137);
  printer->Cleanup();
  printer->SetDestination(TQRPrinterDestination::Metafile);
  printer->BeginDoc();  // recorded pages: the screen, no offsets
  EXPECT_EQ(printer->XPos(254), 96);
}

TEST(QRPrinter, ChoosingAPrinterReadsItsSettings) {
  const auto two = [] { return std::vector{ScriptedA4Printer("Office"), ScriptedA4Printer("Lab", 600)}; };
  auto printer = PrinterOn(two());
  printer->SetOrientation(TPrinterOrientation::poLandscape);
  printer->SetPrinterIndex(1);
  EXPECT_EQ(printer->PrinterSettings().PixelsPerX(), 600);
  EXPECT_EQ(printer->Orientation(), TPrinterOrientation::poLandscape);
  EXPECT_EQ(printer->PaperWidth(), 2970);
  EXPECT_THROW(printer->SetPrinterIndex(2), EPrinterError);

  // A new printer object starts on the application's printer.
  auto shared = std::make_unique<ScriptedPrinterDevice>(two());
  shared->SetPrinterIndex(1);
  {
    Platform platform;
    platform.SetSharedPrinterDevice(std::move(shared));
    printer = PrinterOn(two());
  }
  EXPECT_EQ(printer->PrinterIndex(), 1);
  EXPECT_EQ(printer->PrinterSettings().Device(), "Lab");
}

struct FakePreview final : TQRPreviewInterface {
  explicit FakePreview(std::vector<std::string>& calls) : calls_(calls) {}
  PreviewWindow Show(TQRPrinter&) override {
    calls_.emplace_back("Show");
    return &calls_;
  }
  PreviewWindow ShowModal(TQRPrinter&) override {
    calls_.emplace_back("ShowModal");
    return nullptr;
  }
  std::vector<std::string>& calls_;
};

struct FakePreviewControl final : TQRPreviewClient {
  void Post(const Message&) override {}
  void Send(const Message&) override {}
  void DetachPrinter(TQRPrinter& printer) override { printer.SetShowingPreview(false); }
};

TEST(QRPrinter, NotificationsAndPreviews) {
  test::MessageLog client, master;
  std::vector<std::string> calls;
  FakePreviewControl control;
  auto printer = std::make_unique<TQRPrinter>();
  printer->SetProgress(40);  // no client yet
  printer->SetClient(&client);
  printer->SetMaster(&master);
  printer->SetProgress(50);
  printer->SetAvailablePages(2);
  printer->ClosePreview();
  EXPECT_EQ(client.posted, (std::vector<Message>{{QRM_PROGRESS, 50, 0}, {QRM_PAGEAVAILABLE, 2, 0}}));
  EXPECT_EQ(master.sent, (std::vector<Message>{{QRM_CLOSEPREVIEW, 0, reinterpret_cast<std::intptr_t>(printer.get())}}));

  printer->Preview();  // no preview interface class: nothing
  {
    Platform platform;
    platform.PreviewClass = [&] { return std::make_unique<FakePreview>(calls); };
    printer->Preview();
    printer->PreviewModal();
  }
  EXPECT_EQ(calls, (std::vector<std::string>{"Show", "ShowModal"}));
  EXPECT_EQ(printer->PreviewControl(), &calls);

  // Closing the preview of a production cancels it; the flag drops even when the hook fails.
  int after_preview = 0;
  printer->OnAfterPreview = [&](TQRPrinter&) {
    if (++after_preview == 1) throw std::runtime_error("hook failed");
  };
  printer->SetShowingPreview(true);
  printer->BeginDoc();
  EXPECT_THROW(printer->SetShowingPreview(false), std::runtime_error);
  EXPECT_FALSE(printer->ShowingPreview());
  EXPECT_TRUE(printer->Cancelled());

  // A preview control as Client is detached when the printer goes.
  printer->SetPreviewClient(&control);
  printer->SetShowingPreview(true);
  printer.reset();
  EXPECT_EQ(after_preview, 2);
}

}  // namespace
}  // namespace pravel
