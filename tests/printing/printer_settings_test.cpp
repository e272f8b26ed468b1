#include "printing/printer_settings.h"

#include <gtest/gtest.h>

#include "platform/messages.h"
#include "platform/platform.h"
#include "support/scripted_printer_device.h"

namespace pravel {
namespace {

// A 300 dpi A4 printer with every field in its device mode.
ScriptedPrinter FullPrinter(std::string name = "Office") {
  ScriptedPrinter p = ScriptedA4Printer(std::move(name));
  p.DefaultMode->dmFields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
  p.Papers = {1, 9, 10, 18, 119};
  return p;
}

// The device mode `device` was last given by ApplyToDevice.
DeviceMode LastGiven(const ScriptedPrinterDevice& device) {
  EXPECT_FALSE(device.Selections().empty());
  if (device.Selections().empty() || !device.Selections().back().Mode) return {};
  return *device.Selections().back().Mode;
}

TEST(PrinterSettings, NewSettingsAreUnbound) {
  TPrinterSettings s;
  EXPECT_EQ(s.PaperSize(), TQRPaperSize::A4);
  EXPECT_FALSE(s.DeviceSupports(0));
  // Without a printer only Default is taken.
  s.SetCopies(3);
  s.SetOrientation(TPrinterOrientation::poLandscape);
  s.SetOutputBin(TQRBin::Manual);
  s.SetPaperSize(TQRPaperSize::Letter);
  s.SetPaperSize(TQRPaperSize::Custom);
  EXPECT_EQ(s.Copies(), 0);
  EXPECT_EQ(s.Orientation(), TPrinterOrientation::poPortrait);
  EXPECT_EQ(s.OutputBin(), TQRBin::First);
  EXPECT_EQ(s.PaperSize(), TQRPaperSize::A4);
  s.SetPaperSize(TQRPaperSize::Default);
  EXPECT_EQ(s.PaperSize(), TQRPaperSize::Default);

  // A device with no printers is bound but not read.
  ScriptedPrinterDevice empty;
  TPrinterSettings t;
  t.SetPrinter(&empty);
  EXPECT_EQ(t.Printer(), &empty);
  EXPECT_EQ(t.PixelsPerX(), 0);
  EXPECT_FALSE(t.IsPaperSupported(TQRPaperSize::Custom));
}

TEST(PrinterSettings, ReadsTheDevice) {
  auto printer = FullPrinter();
  printer.LogPixelsX = 600;
  printer.LogPixelsY = 300;
  printer.PhysicalOffsetX = 100;  // 100 / 600 * 254 = 42.33
  printer.PhysicalOffsetY = 50;   // 50 / 300 * 254 = 42.33
  printer.PhysicalWidth = 4961;   // 2100.02
  printer.PhysicalHeight = 3508;  // 2970.11
  printer.DefaultMode->dmCopies = 2;
  ScriptedPrinterDevice dev({printer});
  int pumped = 0;
  Platform platform;
  platform.MessagePump = [&] { ++pumped; };
  TPrinterSettings s;
  s.SetPrinter(&dev);
  EXPECT_EQ(pumped, 1);
  EXPECT_EQ(s.Device(), "Office");
  EXPECT_EQ(s.PixelsPerX(), 600);
  EXPECT_EQ(s.PixelsPerY(), 300);
  EXPECT_EQ(s.LeftOffset(), 42);
  EXPECT_EQ(s.TopOffset(), 42);
  EXPECT_EQ(s.Copies(), 2);
  EXPECT_EQ(s.OutputBin(), TQRBin::Auto);
  EXPECT_FALSE(s.Duplex());
  EXPECT_EQ(s.PaperSize(), TQRPaperSize::A4);
  // Supported: the codes that name a size, and Custom always.
  for (const auto& row : kPaperSizes) {
    const bool expected = row.Size == TQRPaperSize::Letter || row.Size == TQRPaperSize::A4 ||
                          row.Size == TQRPaperSize::A4Small || row.Size == TQRPaperSize::Note ||
                          row.Size == TQRPaperSize::Custom;
    EXPECT_EQ(s.IsPaperSupported(row.Size), expected) << row.Name;
  }
}

TEST(PrinterSettings, PaperSizeCodes) {
  struct Case {
    std::int16_t code;
    TQRPaperSize size;
    std::int32_t width, length;
  };
  // 119 is a driver's own paper: Default, with the sheet as the device reports it.
  for (const Case& c : {Case{9, TQRPaperSize::A4, 2100, 2970}, Case{256, TQRPaperSize::Custom, 2100, 2970},
                        Case{119, TQRPaperSize::Default, 2100, 2970}, Case{1, TQRPaperSize::Letter, 2159, 2794},
                        Case{19, TQRPaperSize::Env9, 984, 2254}}) {
    auto printer = FullPrinter();
    printer.DefaultMode->dmPaperSize = c.code;
    printer.PhysicalWidth = 2480;   // 2100.07 at 300 dpi
    printer.PhysicalHeight = 3508;  // 2970.11
    ScriptedPrinterDevice dev({printer});
    TPrinterSettings s;
    s.SetPrinter(&dev);
    EXPECT_EQ(s.PaperSize(), c.size) << c.code;
    EXPECT_EQ(s.PaperWidth(), c.width) << c.code;
    EXPECT_EQ(s.PaperLength(), c.length) << c.code;
  }
}

TEST(PrinterSettings, BinAndDuplexCodes) {
  struct Case {
    std::int16_t source;
    TQRBin bin;
  };
  for (const Case& c : {Case{1, TQRBin::First}, Case{15, TQRBin::First}, Case{14, TQRBin::Cassette},
                        Case{0x101, TQRBin::First}, Case{11, TQRBin::LargeCapacity}}) {
    auto printer = FullPrinter();
    printer.DefaultMode->dmDefaultSource = c.source;
    ScriptedPrinterDevice dev({printer});
    TPrinterSettings s;
    s.SetPrinter(&dev);
    EXPECT_EQ(s.OutputBin(), c.bin) << c.source;
  }

  auto printer = FullPrinter();
  printer.DefaultMode->dmDuplex = DMDUP_VERTICAL;
  ScriptedPrinterDevice dev({printer});
  TPrinterSettings s;
  s.SetPrinter(&dev);
  EXPECT_TRUE(s.Duplex());
  s.ApplyToDevice();
  EXPECT_EQ(LastGiven(dev).dmDuplex, DMDUP_HORIZONTAL);

  // Simplex, or no duplex field, reads as off and is left untouched.
  printer.DefaultMode->dmFields &= ~DM_DUPLEX;
  dev.Script() = {printer};
  dev.ResetDeviceMode();
  s.ReadFromDevice();
  EXPECT_FALSE(s.Duplex());
  s.ApplyToDevice();
  EXPECT_EQ(LastGiven(dev).dmDuplex, DMDUP_VERTICAL);
  EXPECT_EQ(LastGiven(dev).dmFields & DM_DUPLEX, 0U);
}

TEST(PrinterSettings, AppliesTheFieldsToTheDevice) {
  auto printer = FullPrinter();
  printer.DefaultMode->dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_DEFAULTSOURCE;
  ScriptedPrinterDevice dev({printer});
  TPrinterSettings s;
  s.SetPrinter(&dev);
  s.SetCopies(4);
  s.SetOrientation(TPrinterOrientation::poLandscape);
  s.SetOutputBin(TQRBin::Manual);
  s.SetPaperSize(TQRPaperSize::Letter);
  s.ApplyToDevice();
  ASSERT_EQ(dev.Selections().size(), 1U);
  EXPECT_EQ(dev.Selections()[0].Device, "Office");
  const DeviceMode m = LastGiven(dev);
  EXPECT_EQ(m.dmFields, DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_DEFAULTSOURCE);
  EXPECT_EQ(m.dmCopies, 4);
  EXPECT_EQ(m.dmOrientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(m.dmDefaultSource, 4);
  EXPECT_EQ(m.dmPaperSize, 1);
  // The device now works in landscape.
  EXPECT_GT(dev.GetDeviceCaps(DeviceCap::HORZRES), dev.GetDeviceCaps(DeviceCap::VERTRES));
}

TEST(PrinterSettings, BinKeepsOnlyTheHighBitOfTheOldSource) {
  for (const auto& [old_source, written] : {std::pair<std::int16_t, std::int16_t>{0x101, 0x107}, {15, 7}}) {
    auto printer = FullPrinter();
    printer.DefaultMode->dmDefaultSource = 7;
    ScriptedPrinterDevice dev({printer});
    TPrinterSettings s;
    s.SetPrinter(&dev);
    ASSERT_EQ(s.OutputBin(), TQRBin::Auto);
    printer.DefaultMode->dmDefaultSource = old_source;
    dev.Script() = {printer};
    dev.ResetDeviceMode();
    s.ApplyToDevice();
    EXPECT_EQ(LastGiven(dev).dmDefaultSource, written) << old_source;
  }
}

TEST(PrinterSettings, PaperSizeSetterFollowsTheSupportedPapers) {
  ScriptedPrinterDevice dev({FullPrinter()});
  TPrinterSettings s;
  s.SetPrinter(&dev);
  s.SetPaperSize(TQRPaperSize::A3);  // not offered
  EXPECT_EQ(s.PaperSize(), TQRPaperSize::A4);
  s.SetPaperSize(TQRPaperSize::Note);
  EXPECT_EQ(s.PaperSize(), TQRPaperSize::Note);
  EXPECT_EQ(s.PaperLength(), 2790);
  s.SetPaperSize(TQRPaperSize::Default);
  EXPECT_EQ(s.PaperSize(), TQRPaperSize::Default);
  s.SetPaperSize(TQRPaperSize::Custom);
  EXPECT_EQ(s.PaperSize(), TQRPaperSize::Custom);

  // A driver that lists no papers leaves only Custom.
  auto bare = FullPrinter();
  bare.Papers.clear();
  dev.Script() = {bare};
  s.ReadFromDevice();
  EXPECT_FALSE(s.IsPaperSupported(TQRPaperSize::A4));
  EXPECT_TRUE(s.IsPaperSupported(TQRPaperSize::Custom));
  EXPECT_FALSE(s.IsPaperSupported(TQRPaperSize::Default));
}

TEST(PrinterSettings, CustomWidthAndLengthOnlyWhileCustom) {
  ScriptedPrinterDevice dev({FullPrinter()});
  TPrinterSettings s;
  s.SetPrinter(&dev);
  s.SetPaperWidth(1500);
  s.SetPaperLength(2500);
  EXPECT_EQ(s.PaperWidth(), 2100);
  s.SetPaperSize(TQRPaperSize::Custom);
  EXPECT_EQ(s.PaperWidth(), 2100);  // the sheet read from the device
  s.SetPaperWidth(1500);
  s.SetPaperLength(2500);
  EXPECT_EQ(s.PaperWidth(), 1500);
  EXPECT_EQ(s.PaperLength(), 2500);
  s.ApplyToDevice();
  DeviceMode m = LastGiven(dev);
  EXPECT_EQ(m.dmFields & (DM_PAPERWIDTH | DM_PAPERLENGTH), DM_PAPERWIDTH | DM_PAPERLENGTH);
  EXPECT_EQ(m.dmPaperWidth, 1500);
  EXPECT_EQ(m.dmPaperLength, 2500);
  EXPECT_EQ(m.dmPaperSize, 256);

  // Without a paper size field the size code is not written.
  auto printer = FullPrinter();
  printer.DefaultMode->dmFields &= ~(DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH);
  dev.Script() = {printer};
  dev.ResetDeviceMode();
  s.ApplyToDevice();
  m = LastGiven(dev);
  EXPECT_EQ(m.dmFields & DM_PAPERSIZE, 0U);
  EXPECT_EQ(m.dmPaperSize, 9);
  EXPECT_EQ(m.dmPaperWidth, 1500);
}

TEST(PrinterSettings, SettersIgnoreFieldsTheDeviceModeLacks) {
  auto printer = FullPrinter();
  printer.DefaultMode->dmFields = DM_PAPERSIZE;
  ScriptedPrinterDevice dev({printer});
  TPrinterSettings s;
  s.SetPrinter(&dev);
  EXPECT_TRUE(s.DeviceSupports(static_cast<std::int32_t>(DM_PAPERSIZE)));
  EXPECT_FALSE(s.DeviceSupports(static_cast<std::int32_t>(DM_PAPERSIZE | DM_COPIES)));
  EXPECT_FALSE(s.DeviceSupports(-1));
  s.SetCopies(5);
  s.SetOrientation(TPrinterOrientation::poLandscape);
  s.SetOutputBin(TQRBin::Tractor);
  EXPECT_EQ(s.Copies(), 1);
  EXPECT_EQ(s.Orientation(), TPrinterOrientation::poPortrait);
  EXPECT_EQ(s.OutputBin(), TQRBin::First);
  // Copies, bin and orientation are written all the same.
  s.ApplyToDevice();
  const DeviceMode m = LastGiven(dev);
  EXPECT_EQ(m.dmFields, DM_PAPERSIZE | DM_COPIES | DM_DEFAULTSOURCE | DM_ORIENTATION);
  EXPECT_EQ(m.dmCopies, 1);
  EXPECT_EQ(m.dmDefaultSource, 1);
  EXPECT_EQ(m.dmOrientation, DMORIENT_PORTRAIT);
}

TEST(PrinterSettings, WithoutDeviceMode) {
  auto printer = FullPrinter();
  printer.DefaultMode.reset();
  ScriptedPrinterDevice dev({printer});
  TPrinterSettings s;
  s.SetPrinter(&dev);
  EXPECT_FALSE(s.DeviceSupports(0));
  EXPECT_EQ(s.Copies(), 1);
  EXPECT_EQ(s.OutputBin(), TQRBin::First);
  EXPECT_EQ(s.PaperSize(), TQRPaperSize::Default);
  EXPECT_EQ(s.PaperWidth(), 2100);  // the sheet
  s.ApplyToDevice();                // nothing to write into
  EXPECT_TRUE(dev.Selections().empty());

  // A device mode that comes with the second request is used.
  printer = FullPrinter();
  printer.EmptyModeFetches = 1;
  dev.Script() = {printer};
  dev.ResetDeviceMode();
  s.ReadFromDevice();
  EXPECT_TRUE(s.DeviceSupports(static_cast<std::int32_t>(DM_COPIES)));
  EXPECT_EQ(s.PaperSize(), TQRPaperSize::A4);
}

TEST(PrinterSettings, ChangingPrinterRereadsTheDriverDefaults) {
  auto office = FullPrinter("Office");
  auto lab = FullPrinter("Lab");
  lab.LogPixelsX = lab.LogPixelsY = 600;
  lab.PhysicalOffsetX = lab.PhysicalOffsetY = 100;
  lab.DefaultMode->dmPaperSize = 1;
  lab.DefaultMode->dmDefaultSource = 14;
  lab.Papers = {1};
  ScriptedPrinterDevice dev({office, lab});
  TPrinterSettings s;
  s.SetPrinter(&dev);
  s.SetCopies(3);
  s.SetOrientation(TPrinterOrientation::poLandscape);
  s.ApplyToDevice();
  EXPECT_EQ(dev.Copies(), 3);

  // What the printer-index setter of the report printer does.
  dev.SetPrinterIndex(1);
  dev.ResetDeviceMode();
  s.ReadFromDevice();
  EXPECT_EQ(s.Device(), "Lab");
  EXPECT_EQ(s.Copies(), 1);
  EXPECT_EQ(s.PaperSize(), TQRPaperSize::Letter);
  EXPECT_EQ(s.OutputBin(), TQRBin::Cassette);
  EXPECT_EQ(s.PixelsPerX(), 600);
  EXPECT_EQ(s.LeftOffset(), 42);
  EXPECT_FALSE(s.IsPaperSupported(TQRPaperSize::A4));
  EXPECT_EQ(s.Orientation(), TPrinterOrientation::poLandscape);

  // Going back starts from Office's defaults, not from the copies applied before.
  dev.SetPrinterIndex(0);
  dev.ResetDeviceMode();
  s.ReadFromDevice();
  EXPECT_EQ(s.Copies(), 1);
}

}  // namespace
}  // namespace pravel
