#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "platform/gdi/emf_recorder.h"
#include "platform/gdi/player.h"
#include "platform/qt/qt_printer_device.h"

namespace pravel::qt {
namespace {

class QtPageSurfaceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "qt_page_surface_test";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
  }
  QTemporaryDir dir_;
};

gdi::Metafile FramedPage() {
  gdi::EmfRecorder canvas(200, 300);
  canvas.SelectStockObject(gdi::EmfRecorder::Stock::BlackBrush);
  canvas.Rectangle({10, 10, 190, 290});
  return canvas.Finish();
}

qint64 PdfSize(bool draw) {
  QTemporaryDir dir;
  const QString path = dir.filePath(draw ? "drawn.pdf" : "blank.pdf");
  const auto device = QtPrinterDevice::ForPdfFile(path);
  device->BeginDoc();
  for (int sheet = 0; sheet < 2; ++sheet) {
    if (sheet > 0) device->NewPage();
    gdi::Surface* surface = device->PageSurface();
    EXPECT_NE(surface, nullptr);
    if (draw && surface != nullptr) {
      const gdi::RectD printable{0, 0, static_cast<double>(device->GetDeviceCaps(DeviceCap::HORZRES)),
                                 static_cast<double>(device->GetDeviceCaps(DeviceCap::VERTRES))};
      gdi::PlayMetafile(FramedPage(), *surface, printable);
    }
  }
  device->EndDoc();
  EXPECT_EQ(device->PageSurface(), nullptr);
  return QFile(path).size();
}

TEST_F(QtPageSurfaceTest, SurfaceLivesWithTheJob) {
  const auto device = QtPrinterDevice::ForPdfFile(dir_.filePath("out.pdf"));
  EXPECT_EQ(device->PageSurface(), nullptr);
  device->BeginDoc();
  gdi::Surface* surface = device->PageSurface();
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(device->PageSurface(), surface);
  device->Abort();
  EXPECT_EQ(device->PageSurface(), nullptr);
  // Drawn sheets make a larger document than blank ones.
  EXPECT_GT(PdfSize(true), PdfSize(false));
}

}  // namespace
}  // namespace pravel::qt
