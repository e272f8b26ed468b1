#include "printing/print_setup.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/platform.h"
#include "printing/print_dialog.h"
#include "printing/scripted_print_dialog.h"
#include "support/scripted_printer_device.h"

namespace pravel {
namespace {

using test::PagesChoice;

class PrintSetupTest : public ::testing::Test {
 protected:
  Platform platform_;
  void SetUp() override {
    auto device = std::make_unique<ScriptedPrinterDevice>(
        std::vector{ScriptedA4Printer("Office"), ScriptedA4Printer("Lab", 600)}, 0);
    shared_ = device.get();
    platform_.SetSharedPrinterDevice(std::move(device));
    settings_.SetCopies(2);
  }

  bool Run(std::optional<std::int32_t> pages = std::nullopt) {
    return RunPrinterSetup({settings_, orientation_, pages});
  }

  test::ScriptedPrintDialog dialog_;
  ScriptedPrinterDevice* shared_ = nullptr;
  TQRReportPrinterSettings settings_;
  TPrinterOrientation orientation_ = TPrinterOrientation::poPortrait;
};

TEST_F(PrintSetupTest, OffersTheFinishedPagesAndStoresTheChosenRange) {
  dialog_.Accept(PagesChoice(3, 5));
  ASSERT_TRUE(Run(12));
  const PrintDlgRequest& request = dialog_.Requests().at(0);
  EXPECT_EQ(request.lStructSize, 66U);
  EXPECT_EQ(request.nMinPage, 1);
  EXPECT_EQ(request.nMaxPage, 12);
  EXPECT_EQ(request.nFromPage, 1);
  EXPECT_EQ(request.nToPage, 12);
  // All pages chosen, no collation; page numbers offered, no selection and
  // no print to file.
  EXPECT_EQ(request.Flags, PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK | PD_HIDEPRINTTOFILE | PD_NOSELECTION);
  EXPECT_EQ(settings_.FirstPage(), 3);
  EXPECT_EQ(settings_.LastPage(), 5);

  dialog_.Accept();
  ASSERT_TRUE(Run(12));
  EXPECT_EQ(settings_.FirstPage(), 0);
  EXPECT_EQ(settings_.LastPage(), 0);
}

TEST_F(PrintSetupTest, WithoutAFinishedReportAnyPageMayBeEntered) {
  dialog_.Accept(PagesChoice(2, 40));
  ASSERT_TRUE(Run());
  const PrintDlgRequest& request = dialog_.Requests().at(0);
  EXPECT_EQ(request.nMinPage, 0);
  EXPECT_EQ(request.nMaxPage, 9999);
  EXPECT_EQ(request.nFromPage, 0);
  EXPECT_EQ(request.nToPage, 0);
  EXPECT_EQ(settings_.LastPage(), 40);
}

TEST_F(PrintSetupTest, TheDialogStartsFromTheReportsPrinterAndSettings) {
  shared_->SetCopies(7);  // forgotten: the driver's defaults come first
  settings_.SetPrinterIndex(1);
  orientation_ = TPrinterOrientation::poLandscape;
  dialog_.Accept();
  ASSERT_TRUE(Run());
  const PrintDlgRequest& request = dialog_.Requests().at(0);
  ASSERT_TRUE(request.hDevMode && request.hDevNames);
  EXPECT_EQ(request.hDevMode->dmCopies, 2);
  EXPECT_EQ(request.hDevMode->dmOrientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(request.hDevMode->dmPaperSize, 9);
  EXPECT_EQ(ReadDeviceNamesBlock(*request.hDevNames), (DeviceNames{"scripted", "Lab", "script:", false}));
  EXPECT_EQ(request.hDevNames->size(), 8 + 8 + 3 + 7 + 3);
  EXPECT_EQ(settings_.PrinterIndex(), 1);
  EXPECT_EQ(orientation_, TPrinterOrientation::poLandscape);
}

TEST_F(PrintSetupTest, StoresTheChosenPrinterOrientationAndCopies) {
  dialog_.Accept([](PrintDlgRequest& reply) {
    reply.hDevNames = MakeDeviceNamesBlock({"scripted", "Lab", "script:", false});
    reply.hDevMode->dmOrientation = DMORIENT_LANDSCAPE;
    reply.nCopies = 4;
  });
  ASSERT_TRUE(Run(3));
  EXPECT_EQ(settings_.PrinterIndex(), 1);
  EXPECT_EQ(orientation_, TPrinterOrientation::poLandscape);
  EXPECT_EQ(settings_.Copies(), 4);
  EXPECT_EQ(shared_->PrinterIndex(), 1);
  EXPECT_EQ(shared_->Copies(), 4);
}

TEST_F(PrintSetupTest, OneCopyReturnedMeansTheDeviceModeHoldsTheCount) {
  dialog_.Accept([](PrintDlgRequest& reply) {
    reply.hDevMode->dmCopies = 3;
    reply.Flags |= PD_COLLATE;  // not stored
  });
  ASSERT_TRUE(Run(3));
  EXPECT_EQ(settings_.Copies(), 3);
}

TEST_F(PrintSetupTest, CancellingChangesNothingOfTheReport) {
  settings_.SetFirstPage(2);
  dialog_.Cancel();
  EXPECT_FALSE(Run(12));
  EXPECT_EQ(settings_.Copies(), 2);
  EXPECT_EQ(settings_.FirstPage(), 2);
  EXPECT_EQ(settings_.PrinterIndex(), -1);
  // The shared printer keeps what the setup gave it before the dialog.
  EXPECT_EQ(shared_->Copies(), 2);
}

TEST_F(PrintSetupTest, PrinterErrorsStopTheSetupBeforeTheDialog) {
  settings_.SetPrinterIndex(5);
  EXPECT_THROW(
      {
        try {
          Run();
        } catch (const EPrinterError& e) {
          EXPECT_STREQ(e.what(), "Printer index out of range");
          throw;
        }
      },
      EPrinterError);
  settings_.SetPrinterIndex(-1);
  shared_->Script()[0].DefaultMode.reset();
  EXPECT_THROW(Run(), EPrinterError);
  EXPECT_TRUE(dialog_.Requests().empty());
}

TEST_F(PrintSetupTest, TheHookPlacesTheWindowAndTellsShowAndClose) {
  TQRPrintDialog dialog(*shared_);
  std::vector<std::string> told;
  dialog.OnShow = [&](TQRCommonDialog& sender) { told.emplace_back(sender.Handle() ? "show" : "show?"); };
  dialog.OnClose = [&](TQRCommonDialog&) { told.emplace_back("close"); };
  dialog_.Cancel();
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog_.Placed(), (DialogPoint{312, 156}));
  EXPECT_EQ(told, (std::vector<std::string>{"show", "close"}));
  EXPECT_EQ(dialog.Handle(), nullptr);
  EXPECT_EQ(CentredDialogPlace({800, 600}, {900, 700}), (DialogPoint{-50, -33}));
}

}  // namespace
}  // namespace pravel
