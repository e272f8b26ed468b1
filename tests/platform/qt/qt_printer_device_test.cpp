#include "platform/qt/qt_printer_device.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include "platform/errors.h"

namespace pravel::qt {
namespace {

class QtPrinterDeviceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "qt_printer_device_test";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
  }

  QString PdfPath() const { return dir_.filePath("out.pdf"); }

  // Number of pages in the PDF written to PdfPath().
  int PdfPages() const {
    QFile f(PdfPath());
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray pdf = f.readAll();
    return static_cast<int>(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page/") +
                            pdf.count("/Type /Page "));
  }

  QTemporaryDir dir_;
};

std::string PrinterErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EPrinterError& e) {
    return e.what();
  }
  return {};
}

TEST_F(QtPrinterDeviceTest, BinCodesMapToPaperSources) {
  for (int code : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15}) {
    const auto source = PaperSourceOf(code);
    ASSERT_TRUE(source) << code;
    EXPECT_EQ(BinCodeOf(*source), code);
  }
  EXPECT_FALSE(PaperSourceOf(12));
  EXPECT_FALSE(PaperSourceOf(0x107));
}

TEST_F(QtPrinterDeviceTest, DeviceModeTravelsToAndFromQPrinter) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  DeviceMode mode = DeviceModeOf(printer, false);
  EXPECT_EQ(mode.dmFields & DM_DUPLEX, 0U);
  EXPECT_EQ(mode.dmFields & (DM_PAPERSIZE | DM_ORIENTATION | DM_COPIES | DM_DEFAULTSOURCE),
            DM_PAPERSIZE | DM_ORIENTATION | DM_COPIES | DM_DEFAULTSOURCE);
  EXPECT_EQ(mode.dmPaperSize, 9);
  EXPECT_EQ(mode.dmPaperWidth, 2100);
  EXPECT_EQ(mode.dmPaperLength, 2970);
  EXPECT_EQ(mode.dmOrientation, DMORIENT_PORTRAIT);
  EXPECT_EQ(mode.dmCopies, 1);

  mode.dmPaperSize = 1;
  mode.dmOrientation = DMORIENT_LANDSCAPE;
  mode.dmCopies = 3;
  mode.dmDefaultSource = 4;
  ApplyDeviceMode(mode, printer);
  EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::Letter);
  EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
  EXPECT_EQ(printer.copyCount(), 3);
  EXPECT_TRUE(printer.collateCopies());
  EXPECT_EQ(printer.paperSource(), QPrinter::Manual);
  const DeviceMode back = DeviceModeOf(printer, true);
  EXPECT_EQ(back.dmPaperSize, 1);
  EXPECT_EQ(back.dmPaperWidth, 2159);
  EXPECT_EQ(back.dmOrientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(back.dmDefaultSource, 4);

  // A user size by its extent; a code Qt does not know changes nothing.
  mode.dmFields |= DM_PAPERWIDTH | DM_PAPERLENGTH;
  mode.dmPaperSize = DMPAPER_USER;
  mode.dmPaperWidth = 1500;
  mode.dmPaperLength = 2500;
  ApplyDeviceMode(mode, printer);
  EXPECT_EQ(printer.pageLayout().pageSize().size(QPageSize::Millimeter), QSizeF(150, 250));
  EXPECT_EQ(DeviceModeOf(printer, false).dmPaperSize, DMPAPER_USER);
  mode.dmFields = DM_PAPERSIZE;
  mode.dmPaperSize = 119;
  ApplyDeviceMode(mode, printer);
  EXPECT_EQ(printer.pageLayout().pageSize().size(QPageSize::Millimeter), QSizeF(150, 250));
}

TEST_F(QtPrinterDeviceTest, PdfPrinterCapabilities) {
  const auto dev = QtPrinterDevice::ForPdfFile(PdfPath());
  EXPECT_EQ(dev->Printers(), std::vector<std::string>{"PDF"});
  EXPECT_EQ(dev->PrinterIndex(), 0);
  SelectedPrinter selected = dev->GetPrinter();
  EXPECT_EQ(selected.Device, "PDF");
  ASSERT_TRUE(selected.Mode);

  // A4 portrait at the printer's resolution (Qt holds A4 in whole points).
  selected.Mode->dmPaperSize = 9;
  dev->SetPrinter(selected.Device, selected.Driver, selected.Port, selected.Mode);
  const int dpi = dev->GetDeviceCaps(DeviceCap::LOGPIXELSX);
  EXPECT_GE(dpi, 300);
  EXPECT_EQ(dev->GetDeviceCaps(DeviceCap::LOGPIXELSY), dpi);
  EXPECT_NEAR(dev->GetDeviceCaps(DeviceCap::PHYSICALWIDTH), dpi * 2100 / 254.0, dpi / 200.0);
  EXPECT_NEAR(dev->GetDeviceCaps(DeviceCap::PHYSICALHEIGHT), dpi * 2970 / 254.0, dpi / 200.0);
  const int left = dev->GetDeviceCaps(DeviceCap::PHYSICALOFFSETX);
  const int top = dev->GetDeviceCaps(DeviceCap::PHYSICALOFFSETY);
  EXPECT_GE(left, 0);
  EXPECT_LE(left + dev->GetDeviceCaps(DeviceCap::HORZRES), dev->GetDeviceCaps(DeviceCap::PHYSICALWIDTH));
  EXPECT_LE(top + dev->GetDeviceCaps(DeviceCap::VERTRES), dev->GetDeviceCaps(DeviceCap::PHYSICALHEIGHT));

  // Landscape turns the sheet; the mode given is the mode kept.
  dev->SetOrientation(DMORIENT_LANDSCAPE);
  EXPECT_EQ(dev->Orientation(), DMORIENT_LANDSCAPE);
  EXPECT_GT(dev->GetDeviceCaps(DeviceCap::HORZRES), dev->GetDeviceCaps(DeviceCap::VERTRES));
  dev->ResetDeviceMode();
  EXPECT_EQ(dev->Orientation(), DMORIENT_PORTRAIT);

  const auto papers = dev->DeviceCapabilities("PDF", "", DeviceCapability::DC_PAPERS, std::nullopt);
  for (std::int16_t code : {1, 5, 8, 9, 11}) {
    EXPECT_NE(std::find(papers.begin(), papers.end(), code), papers.end()) << code;
  }
  EXPECT_TRUE(dev->DeviceCapabilities("Other", "", DeviceCapability::DC_PAPERS, std::nullopt).empty());
}

TEST_F(QtPrinterDeviceTest, PdfJobHasOneSheetPerPage) {
  const auto dev = QtPrinterDevice::ForPdfFile(PdfPath());
  EXPECT_EQ(dev->Painter(), nullptr);
  dev->SetTitle("Three sheets");
  dev->BeginDoc();
  EXPECT_TRUE(dev->Printing());
  ASSERT_NE(dev->Painter(), nullptr);
  for (int sheet = 0; sheet < 3; ++sheet) {
    if (sheet > 0) dev->NewPage();
    dev->Painter()->drawRect(100, 100, 1000, 1000);
  }
  dev->EndDoc();
  EXPECT_FALSE(dev->Printing());
  EXPECT_EQ(dev->Painter(), nullptr);
  EXPECT_EQ(PdfPages(), 3);
}

TEST_F(QtPrinterDeviceTest, AbortedJobWritesNothing) {
  const auto dev = QtPrinterDevice::ForPdfFile(PdfPath());
  dev->BeginDoc();
  dev->Painter()->drawRect(100, 100, 1000, 1000);
  dev->NewPage();
  dev->Abort();
  EXPECT_FALSE(dev->Printing());
  EXPECT_FALSE(QFile::exists(PdfPath()));
  // The device takes the next job as usual.
  dev->BeginDoc();
  dev->EndDoc();
  EXPECT_EQ(PdfPages(), 1);
}

TEST_F(QtPrinterDeviceTest, RaisesThePrinterErrors) {
  const auto dev = QtPrinterDevice::ForPdfFile(PdfPath());
  EXPECT_EQ(PrinterErrorOf([&] { dev->NewPage(); }), "Printer is not currently printing");
  EXPECT_EQ(PrinterErrorOf([&] { dev->EndDoc(); }), "Printer is not currently printing");
  EXPECT_EQ(PrinterErrorOf([&] { dev->Abort(); }), "Printer is not currently printing");
  EXPECT_EQ(PrinterErrorOf([&] { dev->SetPrinterIndex(1); }), "Printer index out of range");
  EXPECT_EQ(PrinterErrorOf([&] { dev->SetPrinter("Nowhere", "", "", std::nullopt); }), "Printer index out of range");
  dev->BeginDoc();
  EXPECT_EQ(PrinterErrorOf([&] { dev->BeginDoc(); }), "Printing in progress");
  EXPECT_EQ(PrinterErrorOf([&] { dev->SetPrinterIndex(0); }), "Printing in progress");
  EXPECT_EQ(PrinterErrorOf([&] { dev->SetCopies(2); }), "Printing in progress");
  dev->Abort();
  EXPECT_FALSE(dev->Printing());
}

TEST_F(QtPrinterDeviceTest, CupsQueuesArePrinters) {
  const QStringList queues = QPrinterInfo::availablePrinterNames();
  if (queues.isEmpty()) GTEST_SKIP() << "no CUPS queue is installed; the PDF printer tests cover the device";
  QtPrinterDevice dev;
  ASSERT_EQ(dev.Printers().size(), static_cast<std::size_t>(queues.size()));
  for (std::size_t i = 0; i < dev.Printers().size(); ++i) {
    EXPECT_EQ(dev.Printers()[i], queues[static_cast<qsizetype>(i)].toStdString());
  }
  const QString default_name = QPrinterInfo::defaultPrinterName();
  if (!default_name.isEmpty()) {
    EXPECT_EQ(dev.Printers()[static_cast<std::size_t>(dev.DefaultPrinterIndex())], default_name.toStdString());
  }
  for (int i = 0; i < static_cast<int>(queues.size()); ++i) {
    dev.SetPrinterIndex(i);
    const SelectedPrinter selected = dev.GetPrinter();
    EXPECT_EQ(selected.Device, queues[i].toStdString());
    ASSERT_TRUE(selected.Mode) << selected.Device;
    EXPECT_GT(dev.GetDeviceCaps(DeviceCap::LOGPIXELSX), 0);
    EXPECT_GT(dev.GetDeviceCaps(DeviceCap::HORZRES), 0);
    EXPECT_LE(dev.GetDeviceCaps(DeviceCap::HORZRES), dev.GetDeviceCaps(DeviceCap::PHYSICALWIDTH));
    EXPECT_FALSE(
        dev.DeviceCapabilities(selected.Device, selected.Port, DeviceCapability::DC_PAPERS, selected.Mode).empty())
        << selected.Device;
  }
}

}  // namespace
}  // namespace pravel::qt
