#include "report/qr_printer.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "report/qr_printer_test_util.h"
#include "report/test_files.h"

namespace pravel {
namespace {

using test::AllPapersPrinter;
using test::DrawnPage;
using test::DrawnPages;
using test::MessageLog;
using test::PrinterOn;
using test::TempDir;
using test::WriteReport;

TEST(QRPrinter, LoadReadsPagesAndClearsTheReportHooks) {
  const TempDir dir;
  const auto path = dir / "three.qrp";
  WriteReport(path, DrawnPages(3));
  TQRPrinter printer;
  EXPECT_FALSE(printer.PrinterOK());
  EXPECT_FALSE(printer.GetPage(1));
  printer.SetTitle("kept");
  int previews = 0;
  printer.OnPreview = [&](TQRPrinter&) { ++previews; };
  printer.OnPrintSetup = [](void*) { FAIL() << "a loaded report has no print setup"; };
  printer.OnExportToFilter = [](TQRExportFilter&) {};

  printer.Load(path.string());
  EXPECT_EQ(printer.Status(), TQRPrinterStatus::Finished);
  EXPECT_EQ(printer.PageCount(), 3);
  EXPECT_TRUE(printer.LoadedFromFile());
  EXPECT_EQ(printer.Title(), "kept");
  EXPECT_FALSE(printer.OnExportToFilter);
  printer.PrintSetup();
  printer.Preview();
  EXPECT_EQ(previews, 1);
  for (int n = 1; n <= 3; ++n) {
    const auto page = printer.GetPage(n);
    ASSERT_TRUE(page) << n;
    EXPECT_EQ(page->Width(), 794);
  }
  EXPECT_FALSE(printer.GetPage(0));
  EXPECT_FALSE(printer.GetPage(4));
  // Report geometry of a loaded report is the screen's: A4 is 794 x 1123.
  EXPECT_EQ(printer.XSize(printer.PaperWidth()), 794);
  EXPECT_EQ(printer.YSize(printer.PaperLength()), 1123);

  // Saving gives the same bytes; saving onto the open file fails.
  printer.Save((dir / "copy.qrp").string());
  EXPECT_EQ(test::ReadFileBytes(dir / "copy.qrp"), test::ReadFileBytes(path));
  EXPECT_THROW(printer.Save(path.string()), EFileCreateError);
}

TEST(QRPrinter, LoadAgainReplacesTheReport) {
  const TempDir dir;
  WriteReport(dir / "two.qrp", DrawnPages(2));
  WriteReport(dir / "five.qrp", DrawnPages(5));
  WriteReport(dir / "empty.qrp", {});
  TQRPrinter printer;
  printer.Load((dir / "two.qrp").string());
  printer.Load((dir / "five.qrp").string());
  EXPECT_EQ(printer.PageCount(), 5);
  EXPECT_TRUE(printer.GetPage(5));
  printer.Load((dir / "five.qrp").string());
  EXPECT_EQ(printer.PageCount(), 5);

  printer.Load((dir / "empty.qrp").string());
  EXPECT_EQ(printer.Status(), TQRPrinterStatus::Finished);
  EXPECT_EQ(printer.PageCount(), 0);
  EXPECT_FALSE(printer.GetPage(1));

  // A missing file after a good one: the error propagates, nothing is left.
  printer.Load((dir / "two.qrp").string());
  EXPECT_THROW(printer.Load((dir / "missing.qrp").string()), EFileOpenError);
  EXPECT_EQ(printer.Status(), TQRPrinterStatus::Ready);
  EXPECT_FALSE(printer.GetPage(1));
  EXPECT_FALSE(printer.Stream());

  // A report whose first page is corrupt does not load either.
  Bytes bad = test::ReadFileBytes(dir / "two.qrp");
  bad[128 + 8 + 40] ^= 0xFF;  // the first page's EMF signature
  test::WriteFileBytes(dir / "bad.qrp", bad);
  EXPECT_THROW(printer.Load((dir / "bad.qrp").string()), EMetafileError);
  EXPECT_EQ(printer.Status(), TQRPrinterStatus::Ready);
  EXPECT_FALSE(printer.GetPage(2));
  printer.Load((dir / "two.qrp").string());
  EXPECT_TRUE(printer.GetPage(2));
}

TEST(QRPrinter, SaveNeedsAFinishedReport) {
  const TempDir dir;
  TQRPrinter printer;
  printer.Save((dir / "none.qrp").string());
  EXPECT_TRUE(dir.Names().empty());
  printer.BeginDoc();
  printer.NewPage();
  printer.Save((dir / "busy.qrp").string());
  EXPECT_TRUE(dir.Names().empty());
}

struct PaperCase {
  int width, height;  // pixels of page 1 at 96 dpi
  TQRPaperSize size;
  TPrinterOrientation orientation;
};

TEST(QRPrinter, LoadRecognisesThePaperOfPageOne) {
  constexpr auto P = TPrinterOrientation::poPortrait;
  constexpr auto L = TPrinterOrientation::poLandscape;
  const TempDir dir;
  const auto path = dir / "r.qrp";
  const auto recognised = [&](ScriptedPrinter* printer, int width, int height) {
    WriteReport(path, {DrawnPage(1, width, height)});
    ScriptedPrinterDevice* device = nullptr;
    auto report = printer ? PrinterOn({*printer}, device) : std::make_unique<TQRPrinter>();
    report->SetPaperSize(TQRPaperSize::Legal);
    report->Load(path.string());
    return std::pair{report->PaperSize(), report->Orientation()};
  };

  ScriptedPrinter all = AllPapersPrinter("All");
  for (const PaperCase& c : {PaperCase{794, 1123, TQRPaperSize::A4Small, P},  // W 52, H 74
                             PaperCase{1123, 794, TQRPaperSize::A4Small, L},
                             PaperCase{816, 1056, TQRPaperSize::Note, P},      // Letter: W 53, H 69
                             PaperCase{378, 378, TQRPaperSize::ESheet, L},     // 100 mm square
                             PaperCase{756, 756, TQRPaperSize::Legal, P}}) {   // 200 mm: no match
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    EXPECT_EQ(recognised(&all, c.width, c.height), std::pair(c.size, c.orientation));
  }
  // A4 but not A4Small on offer.
  ScriptedPrinter a4 = ScriptedA4Printer("A4");
  EXPECT_EQ(recognised(&a4, 1123, 794), std::pair(TQRPaperSize::A4, L));
  // No printer: nothing is accepted.
  EXPECT_EQ(recognised(nullptr, 1123, 794), std::pair(TQRPaperSize::A4, P));
}

TEST(QRPrinter, GeometryRoundsHalvesToEven) {
  ScriptedPrinterDevice* device = nullptr;
  ScriptedPrinter exact = ScriptedA4Printer("Exact", 254);
  exact.PhysicalOffsetX = exact.PhysicalOffsetY = 0;
  auto printer = PrinterOn({exact}, device);
  printer->SetDestination(TQRPrinterDestination::Printer);
  printer->BeginDoc();
  EXPECT_EQ(printer->XFactor(), 1.0L);
  EXPECT_EQ(printer->XSize(2.5L), 2);
  EXPECT_EQ(printer->XSize(3.5L), 4);
  EXPECT_EQ(printer->YSize(-2.5L), -2);

  // 600 dpi with an offset of 100 pixels: LeftWaste 42.
  ScriptedPrinter fine = ScriptedA4Printer("Fine", 600);
  fine.PhysicalOffsetX = 100;
  printer = PrinterOn({fine}, device);
  EXPECT_EQ(printer->LeftWaste(), 42);
  EXPECT_EQ(printer->XPos(100), 58);  // the factor is 1 until a production starts
  printer->SetDestination(TQRPrinterDestination::Printer);
  printer->BeginDoc();
  EXPECT_EQ(printer->XPos(100), 137);
  printer->Cleanup();
  // Recorded pages subtract no offsets.
  printer->SetDestination(TQRPrinterDestination::Metafile);
  printer->BeginDoc();
  EXPECT_EQ(printer->LeftWaste(), 0);
  EXPECT_EQ(printer->XPos(254), 96);
}

TEST(QRPrinter, SettingsPassToThePrinterSettings) {
  ScriptedPrinterDevice* device = nullptr;
  ScriptedPrinter lab = ScriptedA4Printer("Lab", 600);
  lab.DefaultMode->dmCopies = 2;
  auto printer = PrinterOn({ScriptedA4Printer("Office"), lab}, device);
  EXPECT_TRUE(printer->PrinterOK());
  printer->SetOrientation(TPrinterOrientation::poLandscape);
  printer->SetCopies(4);
  printer->SetPaperSize(TQRPaperSize::A5);  // not offered: ignored
  EXPECT_EQ(printer->PaperSize(), TQRPaperSize::A4);
  EXPECT_EQ(printer->PaperWidth(), 2970);
  EXPECT_EQ(printer->PaperLength(), 2100);

  // Another printer starts from its driver's defaults; the orientation stays.
  printer->SetPrinterIndex(1);
  EXPECT_EQ(printer->PrinterIndex(), 1);
  EXPECT_EQ(printer->PrinterSettings().PixelsPerX(), 600);
  EXPECT_EQ(printer->Copies(), 2);
  EXPECT_EQ(printer->Orientation(), TPrinterOrientation::poLandscape);
  EXPECT_THROW(printer->SetPrinterIndex(2), EPrinterError);

  printer->SetPaperSize(TQRPaperSize::Custom);
  printer->SetCustomPaperWidth(1000);
  printer->SetCustomPaperLength(1500);
  EXPECT_EQ(printer->PaperLength(), 1000);
}

TEST(QRPrinter, StartsOnTheApplicationsPrinter) {
  const auto two = [] { return std::vector{ScriptedA4Printer("Office"), ScriptedA4Printer("Lab", 600)}; };
  auto shared = std::make_unique<ScriptedPrinterDevice>(two());
  shared->SetPrinterIndex(1);
  SetSharedPrinterDevice(std::move(shared));
  ScriptedPrinterDevice* device = nullptr;
  const auto printer = PrinterOn(two(), device);
  SetSharedPrinterDevice(nullptr);
  EXPECT_EQ(printer->PrinterIndex(), 1);
  EXPECT_EQ(printer->PrinterSettings().PixelsPerX(), 600);
  EXPECT_EQ(printer->PrinterSettings().Device(), "Lab");
}

TEST(QRPrinter, NotificationsReachClientAndMaster) {
  MessageLog client, master;
  TQRPrinter printer;
  printer.SetProgress(40);  // no client yet
  printer.SetClient(&client);
  printer.SetMaster(&master);
  printer.SetProgress(50);
  printer.SetAvailablePages(2);
  EXPECT_EQ(printer.AvailablePages(), 2);
  EXPECT_EQ(client.posted, (std::vector<Message>{{QRM_PROGRESS, 50, 0}, {QRM_PAGEAVAILABLE, 2, 0}}));
  printer.ClosePreview();
  EXPECT_EQ(master.sent, (std::vector<Message>{{QRM_CLOSEPREVIEW, 0, reinterpret_cast<std::intptr_t>(&printer)}}));
  EXPECT_TRUE(master.posted.empty());
}

TEST(QRPrinter, ShowingPreviewEndsWithTheHook) {
  TQRPrinter printer;
  int after = 0;
  printer.OnAfterPreview = [&](TQRPrinter&) {
    ++after;
    throw std::runtime_error("hook failed");
  };
  printer.SetShowingPreview(false);
  printer.SetShowingPreview(true);
  EXPECT_EQ(after, 0);
  printer.BeginDoc();
  EXPECT_THROW(printer.SetShowingPreview(false), std::runtime_error);
  EXPECT_EQ(after, 1);
  EXPECT_FALSE(printer.ShowingPreview());
  EXPECT_TRUE(printer.Cancelled());
}

struct FakePreview final : TQRPreviewInterface {
  explicit FakePreview(std::vector<std::string>& calls) : calls_(calls) {}
  PreviewWindow Show(TQRPrinter&) override {
    calls_.push_back("Show");
    return &calls_;
  }
  PreviewWindow ShowModal(TQRPrinter&) override {
    calls_.push_back("ShowModal");
    return nullptr;
  }
  std::vector<std::string>& calls_;
};

struct FakePreviewControl final : TQRPreviewClient {
  void Post(const Message&) override {}
  void Send(const Message&) override {}
  void DetachPrinter(TQRPrinter& printer) override {
    printer.SetShowingPreview(false);
    printer.SetClient(nullptr);
    detached = true;
  }
  bool detached = false;
};

TEST(QRPrinter, PreviewGoesToTheHookOrThePreviewInterface) {
  std::vector<std::string> calls;
  {
    TQRPrinter printer;
    printer.Preview();  // no preview interface class: nothing
    SetPreviewInterfaceClass([&] { return std::make_unique<FakePreview>(calls); });
    printer.Preview();
    printer.PreviewModal();
    EXPECT_EQ(printer.PreviewControl(), &calls);
    printer.OnPreview = [&](TQRPrinter&) { calls.push_back("hook"); };
    printer.PreviewModal();
    SetPreviewInterfaceClass(nullptr);
  }
  EXPECT_EQ(calls, (std::vector<std::string>{"Show", "ShowModal", "hook"}));

  FakePreviewControl control;
  auto printer = std::make_unique<TQRPrinter>();
  printer->SetClient(&control);
  printer->SetShowingPreview(true);
  int after = 0;
  printer->OnAfterPreview = [&](TQRPrinter&) { ++after; };
  printer.reset();
  EXPECT_TRUE(control.detached);
  EXPECT_EQ(after, 1);
}

}  // namespace
}  // namespace pravel
