#include "platform/printer_device.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "support/scripted_printer_device.h"

namespace pravel {
namespace {

// The EPrinterError text `f` raises, or "" when it raises none.
template <typename F>
std::string PrinterErrorOf(F&& f) {
  try {
    f();
  } catch (const EPrinterError& e) {
    return e.what();
  }
  return {};
}

// "Office" at 300 dpi and "Lab" at 600 dpi, the default.
std::unique_ptr<ScriptedPrinterDevice> TwoPrinters() {
  return std::make_unique<ScriptedPrinterDevice>(
      std::vector{ScriptedA4Printer("Office"), ScriptedA4Printer("Lab", 600)}, 1);
}

TEST(ScriptedPrinterDevice, SelectionAndDeviceMode) {
  const auto owner = TwoPrinters();
  auto& dev = *owner;
  EXPECT_EQ(dev.PrinterIndex(), 1);  // the default
  EXPECT_EQ(dev.GetDeviceCaps(DeviceCap::LOGPIXELSX), 600);
  auto selected = dev.GetPrinter();
  EXPECT_EQ(selected.Device, "Lab");
  ASSERT_TRUE(selected.Mode);
  const DeviceMode driver_default = *selected.Mode;
  selected.Mode->dmOrientation = DMORIENT_LANDSCAPE;
  selected.Mode->dmCopies = 3;
  dev.SetPrinter(selected.Device, selected.Driver, selected.Port, selected.Mode);
  EXPECT_EQ(dev.GetPrinter().Mode, selected.Mode);
  EXPECT_EQ(dev.Copies(), 3);
  // Landscape turns the sheet.
  EXPECT_GT(dev.GetDeviceCaps(DeviceCap::HORZRES), dev.GetDeviceCaps(DeviceCap::VERTRES));
  EXPECT_GT(dev.GetDeviceCaps(DeviceCap::PHYSICALWIDTH), dev.GetDeviceCaps(DeviceCap::PHYSICALHEIGHT));

  dev.ResetDeviceMode();
  EXPECT_EQ(dev.GetPrinter().Mode, driver_default);
  EXPECT_EQ(dev.PrinterIndex(), 1);
  EXPECT_LT(dev.GetDeviceCaps(DeviceCap::HORZRES), dev.GetDeviceCaps(DeviceCap::VERTRES));

  dev.SetCopies(2);
  dev.SetOrientation(DMORIENT_LANDSCAPE);
  EXPECT_EQ(dev.Copies(), 2);
  EXPECT_EQ(dev.Orientation(), DMORIENT_LANDSCAPE);
  // Selecting another printer by index starts it from its driver's defaults.
  dev.SetPrinterIndex(0);
  EXPECT_EQ(dev.Copies(), 1);
  EXPECT_EQ(dev.Orientation(), DMORIENT_PORTRAIT);
}

TEST(ScriptedPrinterDevice, RecordsJobCallsAndSheets) {
  const auto owner = TwoPrinters();
  auto& dev = *owner;
  dev.SetTitle("report.qrp");
  dev.BeginDoc();
  EXPECT_TRUE(dev.Printing());
  dev.NewPage();
  dev.NewPage();
  dev.EndDoc();
  EXPECT_FALSE(dev.Printing());
  EXPECT_EQ(dev.Sheets(), 3);
  dev.SetTitle("second");
  dev.BeginDoc();
  dev.NewPage();
  dev.Abort();
  EXPECT_EQ(dev.Sheets(), 2);
  EXPECT_EQ(dev.SheetsPrinted(), 3);
  using S = JobStep;
  EXPECT_EQ(dev.Calls(), (std::vector<JobCall>{{S::BeginDoc, "report.qrp"},
                                               {S::NewPage, ""},
                                               {S::NewPage, ""},
                                               {S::EndDoc, ""},
                                               {S::BeginDoc, "second"},
                                               {S::NewPage, ""},
                                               {S::Abort, ""}}));
}

TEST(ScriptedPrinterDevice, RaisesThePrinterErrors) {
  const auto owner = TwoPrinters();
  auto& dev = *owner;
  EXPECT_EQ(PrinterErrorOf([&] { dev.NewPage(); }), "Printer is not currently printing");
  EXPECT_EQ(PrinterErrorOf([&] { dev.EndDoc(); }), "Printer is not currently printing");
  EXPECT_EQ(PrinterErrorOf([&] { dev.Abort(); }), "Printer is not currently printing");
  EXPECT_EQ(PrinterErrorOf([&] { dev.SetPrinterIndex(2); }), "Printer index out of range");
  EXPECT_EQ(PrinterErrorOf([&] { dev.SetPrinterIndex(-2); }), "Printer index out of range");
  EXPECT_EQ(PrinterErrorOf([&] { dev.SetPrinter("Nowhere", "", "", std::nullopt); }), "Printer index out of range");
  EXPECT_EQ(dev.PrinterIndex(), 1);

  dev.BeginDoc();
  EXPECT_EQ(PrinterErrorOf([&] { dev.BeginDoc(); }), "Printing in progress");
  EXPECT_EQ(PrinterErrorOf([&] { dev.SetPrinterIndex(0); }), "Printing in progress");
  EXPECT_EQ(PrinterErrorOf([&] { dev.ResetDeviceMode(); }), "Printing in progress");
  EXPECT_EQ(PrinterErrorOf([&] { dev.SetCopies(2); }), "Printing in progress");
  EXPECT_TRUE(dev.Printing());
  dev.EndDoc();

  auto bare = ScriptedA4Printer("Bare");
  bare.DefaultMode.reset();
  ScriptedPrinterDevice no_mode({bare});
  EXPECT_EQ(PrinterErrorOf([&] { no_mode.SetCopies(2); }), "Operation not supported on selected printer");
  EXPECT_EQ(PrinterErrorOf([&] { no_mode.Orientation(); }), "Operation not supported on selected printer");
}

TEST(ScriptedPrinterDevice, WithoutPrinters) {
  ScriptedPrinterDevice dev;
  EXPECT_TRUE(dev.Printers().empty());
  EXPECT_EQ(dev.PrinterIndex(), -1);
  EXPECT_EQ(dev.DefaultPrinterIndex(), -1);
  EXPECT_FALSE(dev.GetPrinter().Mode);
  EXPECT_EQ(dev.GetDeviceCaps(DeviceCap::LOGPIXELSX), 0);
  dev.SetPrinterIndex(-1);
  EXPECT_EQ(PrinterErrorOf([&] { dev.BeginDoc(); }), "Printer index out of range");
}

TEST(Platform, MakesDevicesAndTheSharedPrinterFromItsFactory) {
  Platform platform;
  platform.PrinterDevices = [] { return TwoPrinters(); };
  EXPECT_EQ(Platform::Current().NewPrinterDevice()->Printers().size(), 2U);
  PrinterDevice& shared = platform.SharedPrinterDevice();
  EXPECT_EQ(&shared, &platform.SharedPrinterDevice());
  EXPECT_EQ(shared.PrinterIndex(), 1);
}

TEST(Platform, WhatIsNotInstalledSaysSo) {
  Platform platform;
  const auto device = platform.NewPrinterDevice();
  EXPECT_TRUE(device->Printers().empty());
  EXPECT_EQ(device->PrinterIndex(), -1);
  EXPECT_EQ(PrinterErrorOf([&] { device->BeginDoc(); }), kNoPrinting);
  EXPECT_EQ(PrinterErrorOf([&] { device->EndDoc(); }), kNotPrinting);
  EXPECT_TRUE(platform.SharedPrinterDevice().Printers().empty());
  PrintDlgRequest request;
  EXPECT_THROW(PrintDlg(request), EPlatformError);
  EXPECT_THROW(platform.OpenWebPage("https://example.org"), EPlatformError);
  ProcessMessages();  // no pump: nothing to do
}

TEST(Platform, TheInnermostIsCurrentUntilItEnds) {
  Platform outer;
  int pumped = 0;
  outer.MessagePump = [&] { ++pumped; };
  {
    const Platform inner;
    EXPECT_EQ(&Platform::Current(), &inner);
    ProcessMessages();
    EXPECT_EQ(pumped, 0);
  }
  EXPECT_EQ(&Platform::Current(), &outer);
  ProcessMessages();
  EXPECT_EQ(pumped, 1);
}

}  // namespace
}  // namespace pravel
