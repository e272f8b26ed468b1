#include "preview/qr_preview.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "platform/platform.h"
#include "platform/qt/qstring_printer.h"
#include "report/qr_printer.h"
#include "report/qr_printer_test_util.h"
#include "report/test_files.h"
#include "viewer/test_application.h"

namespace pravel {
namespace {

using test::DrawnPages;
using test::TempDir;
using test::WriteReport;

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureApplication(); }

  // A loaded report of `pages` A4 pages.
  std::unique_ptr<TQRPrinter> Report(int pages) {
    const auto path = dir_ / ("r" + std::to_string(pages) + ".qrp");
    WriteReport(path, DrawnPages(pages));
    auto printer = std::make_unique<TQRPrinter>();
    printer->Load(path.string());
    return printer;
  }

  static void Click(QWidget* widget, QPoint at) {
    const QPointF global = widget->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
  }

  TempDir dir_;
};

TEST_F(PreviewTest, StartsAt100PercentWithTheLetterDefault) {
  TQRPreview preview;
  EXPECT_EQ(preview.size(), QSize(250, 250));
  EXPECT_EQ(preview.PageNumber(), 1);
  EXPECT_EQ(preview.Zoom(), 100);
  EXPECT_EQ(preview.ZoomMode(), TQRZoomMode::Other);
  EXPECT_EQ(preview.PageImage().geometry(), QRect(0, 0, 100, 50));
  EXPECT_FALSE(preview.PageImage().ImageOK());

  // Without a printer the sheet is 215.9 x 279.4 pixels at 100 %.
  preview.resize(300, 300);
  preview.ZoomToFit();
  EXPECT_EQ(preview.Zoom(), 102);  // min(rnd(300/215.9*95), rnd(300/279.4*95)) = min(132, 102)
  EXPECT_EQ(preview.ZoomMode(), TQRZoomMode::Fit);
  // 215.9 * 1.02 = 220.2, 279.4 * 1.02 = 285.0; centred against the outer size.
  EXPECT_EQ(preview.PageImage().geometry(), QRect(38, 5, 224, 289));
  preview.ZoomToWidth();
  EXPECT_EQ(preview.Zoom(), 132);  // 95 % of the width, not 90 %, without a printer
  EXPECT_EQ(preview.PageImage().Zoom(), 132);
  // Pages cannot be chosen without a printer.
  preview.SetPageNumber(2);
  EXPECT_EQ(preview.PageNumber(), 1);
}

TEST_F(PreviewTest, ZoomIsKeptWithin2To2000) {
  TQRPreview preview;
  preview.ZoomToFit();
  for (const int ignored : {1, 2001, 0, -5}) {
    preview.SetZoom(ignored);
    EXPECT_NE(preview.Zoom(), ignored);
    EXPECT_EQ(preview.ZoomMode(), TQRZoomMode::Fit) << ignored;
  }
  preview.SetZoom(2);
  EXPECT_EQ(preview.Zoom(), 2);
  EXPECT_EQ(preview.ZoomMode(), TQRZoomMode::Other);
  preview.SetZoom(2000);
  EXPECT_EQ(preview.Zoom(), 2000);
}

TEST_F(PreviewTest, FitAndWidthOnAnA4Report) {
  const auto printer = Report(1);
  TQRPreview preview;
  preview.resize(602, 499);
  preview.SetQRPrinter(printer.get());
  preview.SetZoom(100);
  EXPECT_EQ(preview.PageImage().size(), QSize(794 + 4, 1123 + 4));
  EXPECT_EQ(preview.PageImage().pos(), QPoint(0, 0));  // larger than the control

  preview.ZoomToFit();
  EXPECT_EQ(preview.Zoom(), 42);
  // 2100/100*42 = 882 tenths of a mm = 333.4 px; 2970/100*42 = 1247.4 = 471.5 px.
  EXPECT_EQ(preview.PageImage().geometry(), QRect((602 - 337) / 2, (499 - 475) / 2, 337, 475));
  preview.ZoomToWidth();
  EXPECT_EQ(preview.Zoom(), 68);
  EXPECT_EQ(preview.ZoomMode(), TQRZoomMode::Width);

  // The control's own resize reaction keeps the mode's zoom...
  preview.show();
  preview.resize(794, 499);
  EXPECT_EQ(preview.Zoom(), 90);
  preview.ZoomToFit();
  preview.resize(602, 499);
  EXPECT_EQ(preview.Zoom(), 42);
  // ...unless it was replaced.
  int resized = 0;
  preview.OnResize = [&](TQRPreview&) { ++resized; };
  const QRect placed = preview.PageImage().geometry();
  preview.resize(900, 700);
  EXPECT_EQ(resized, 1);
  EXPECT_EQ(preview.Zoom(), 42);
  EXPECT_EQ(preview.PageImage().geometry(), placed);
}

TEST_F(PreviewTest, AttachingTellsThePrinterItIsShown) {
  const auto printer = Report(3);
  int hidden = 0;
  printer->OnAfterPreview = [&](TQRPrinter&) { ++hidden; };
  TQRPreview preview;
  preview.SetQRPrinter(printer.get());
  EXPECT_EQ(printer->Client(), static_cast<MessageTarget*>(&preview));
  EXPECT_TRUE(printer->ShowingPreview());
  EXPECT_TRUE(preview.PageImage().ImageOK());
  EXPECT_EQ(preview.PageImage().QRPrinter(), printer.get());

  // Attaching the same printer again hides and shows it and returns to page 1.
  preview.SetPageNumber(3);
  preview.SetQRPrinter(printer.get());
  EXPECT_EQ(hidden, 1);
  EXPECT_TRUE(printer->ShowingPreview());
  EXPECT_EQ(preview.PageNumber(), 1);
  EXPECT_EQ(preview.PageImage().PageNumber(), 1);

  preview.SetQRPrinter(nullptr);
  EXPECT_EQ(hidden, 2);
  EXPECT_EQ(printer->Client(), nullptr);
  EXPECT_FALSE(printer->ShowingPreview());
  EXPECT_FALSE(preview.PageImage().ImageOK());
}

TEST_F(PreviewTest, PrinterAndPreviewLetGoOfEachOther) {
  TQRPreview preview;
  auto printer = Report(1);
  preview.SetQRPrinter(printer.get());
  printer.reset();
  EXPECT_EQ(preview.QRPrinter(), nullptr);
  EXPECT_EQ(preview.PageImage().QRPrinter(), nullptr);
  EXPECT_FALSE(preview.PageImage().ImageOK());

  printer = Report(1);
  {
    TQRPreview other;
    other.SetQRPrinter(printer.get());
  }
  EXPECT_EQ(printer->Client(), nullptr);
  EXPECT_FALSE(printer->ShowingPreview());
}

TEST_F(PreviewTest, PageNumberRules) {
  const auto printer = Report(3);
  TQRPreview preview;
  preview.resize(300, 300);
  preview.SetQRPrinter(printer.get());
  preview.verticalScrollBar()->setValue(50);

  for (const int ignored : {0, -1, 4}) {
    preview.SetPageNumber(ignored);
    EXPECT_EQ(preview.PageNumber(), 1) << ignored;
  }
  preview.SetPageNumber(3);
  EXPECT_EQ(preview.PageNumber(), 3);
  EXPECT_EQ(preview.PageImage().PageNumber(), 3);
  EXPECT_EQ(preview.verticalScrollBar()->value(), 0);

  // The page held is not fetched again; a page not held is.
  TQRPrinter empty;
  TQRPreview waiting;
  waiting.SetQRPrinter(&empty);
  EXPECT_FALSE(waiting.PageImage().ImageOK());
  empty.Load((dir_ / "r3.qrp").string());
  waiting.SetPageNumber(1);
  EXPECT_TRUE(waiting.PageImage().ImageOK());
}

// What a window connected to the preview hears, in order.
TEST_F(PreviewTest, SignalsTellThePageTheZoomAndThePageCount) {
  const auto printer = Report(3);
  TQRPreview preview;
  QStringList heard;
  QObject::connect(&preview, &TQRPreview::pageChanged, [&](int page) { heard << QStringLiteral("page %1").arg(page); });
  QObject::connect(&preview, &TQRPreview::zoomChanged, [&](int zoom) { heard << QStringLiteral("zoom %1").arg(zoom); });
  QObject::connect(&preview, &TQRPreview::pageCountChanged,
                   [&](int count) { heard << QStringLiteral("count %1").arg(count); });
  preview.SetQRPrinter(printer.get());
  preview.LastPage();
  preview.NextPage();  // beyond the last page: ignored
  preview.PreviousPage();
  preview.SetZoom(50);
  preview.SetZoom(50);  // applied again, heard again
  preview.SetZoom(1);   // ignored
  EXPECT_EQ(heard, (QStringList{"page 1", "count 3", "page 3", "page 2", "zoom 50", "zoom 50"}));

  // Another report in the same printer: page 1 again and its count.
  heard.clear();
  WriteReport(dir_ / "r1.qrp", DrawnPages(1));
  printer->Load((dir_ / "r1.qrp").string());
  preview.ReportLoaded();
  preview.FirstPage();  // already shown: nothing
  EXPECT_EQ(heard, (QStringList{"page 1", "count 1"}));
  EXPECT_TRUE(preview.PageImage().ImageOK());
}

TEST_F(PreviewTest, AWaitedPageIsShownAtPageWidthWhenItArrives) {
  Platform platform;
  platform.MessagePump = qt::ProcessQtEvents;
  TQRPrinter printer;
  printer.BeginDoc();
  printer.NewPage();
  TQRPreview preview;
  preview.resize(602, 499);
  preview.SetQRPrinter(&printer);
  std::vector<int> available, progress;
  preview.OnPageAvailable = [&](TQRPreview& sender, std::int32_t page) {
    EXPECT_EQ(&sender, &preview);
    available.push_back(page);
  };
  preview.OnProgressUpdate = [&](TQRPreview&, std::int32_t value) { progress.push_back(value); };
  EXPECT_FALSE(preview.PageImage().ImageOK());

  test::DrawPage(*printer.Canvas(), 1, 794, 1123);
  printer.SetProgress(40);
  printer.EndDoc();  // processes the waiting messages, then posts page 1
  QCoreApplication::processEvents();

  EXPECT_EQ(available, std::vector<int>{1});
  EXPECT_EQ(progress, std::vector<int>{40});
  EXPECT_TRUE(preview.PageImage().ImageOK());
  EXPECT_EQ(preview.ZoomMode(), TQRZoomMode::Width);
  EXPECT_EQ(preview.Zoom(), 68);

  // A page that is already shown is not fetched or re-zoomed again.
  preview.SetZoom(30);
  preview.Post({QRM_PAGEAVAILABLE, 1, 0});
  QCoreApplication::processEvents();
  EXPECT_EQ(preview.Zoom(), 30);
  EXPECT_EQ(available, (std::vector<int>{1, 1}));
}

TEST_F(PreviewTest, SheetHasAWhitePageAFrameAndAShadow) {
  const auto page = test::DrawnPage(1);
  const int w = 397 + 4, h = 561 + 4;  // A4 at 50 %
  QImage sheet(w, h, QImage::Format_ARGB32_Premultiplied);
  sheet.fill(Qt::transparent);
  {
    QPainter painter(&sheet);
    PaintPreviewSheet(painter, &page, sheet.size());
  }
  const auto at = [&](int x, int y) { return sheet.pixelColor(x, y); };
  const QColor black(Qt::black), white(Qt::white);
  for (const QPoint frame :
       {QPoint(0, 0), QPoint(0, h - 3), QPoint(w - 3, h - 3), QPoint(w - 3, 0), QPoint(w / 2, 0), QPoint(0, h / 2)}) {
    EXPECT_EQ(at(frame.x(), frame.y()), black) << frame.x() << "," << frame.y();
  }
  for (const QPoint shadow : {QPoint(w - 1, 2), QPoint(w - 2, h / 2), QPoint(2, h - 1), QPoint(w - 1, h - 1)}) {
    EXPECT_EQ(at(shadow.x(), shadow.y()), black) << shadow.x() << "," << shadow.y();
  }
  // The corners outside the frame and the shadow stay see-through.
  EXPECT_EQ(at(w - 1, 0).alpha(), 0);
  EXPECT_EQ(at(0, h - 1).alpha(), 0);
  EXPECT_EQ(at(w / 2, h / 2), white);
  // The page's own frame, 10 px inside the sheet at 100 %, is drawn at 5 px.
  int ink = 0;
  for (int x = 3; x <= 8; ++x) ink += at(x, h / 2).lightness() < 128 ? 1 : 0;
  EXPECT_GE(ink, 1);
}

TEST_F(PreviewTest, TheImageShowsItsPageAndNothingWithoutOne) {
  const auto printer = Report(1);
  TQRPreview preview;
  preview.SetZoom(50);
  const QImage before = preview.PageImage().grab().toImage();
  const QColor background = before.pixelColor(0, 0);
  EXPECT_EQ(before.pixelColor(before.width() - 1, before.height() - 1), background);

  preview.SetQRPrinter(printer.get());
  preview.SetZoom(50);
  const QImage shown = preview.PageImage().grab().toImage();
  EXPECT_EQ(shown.pixelColor(0, 0), QColor(Qt::black));
  EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::white));
  EXPECT_EQ(shown.pixelColor(shown.width() - 1, 0), background);

  preview.SetQRPrinter(nullptr);
  const QImage after = preview.PageImage().grab().toImage();
  EXPECT_EQ(after.pixelColor(0, 0), background);
  EXPECT_EQ(after.pixelColor(after.width() / 2, after.height() / 2), background);
}

TEST_F(PreviewTest, RepaintsAndScrollingReuseTheRenderedPage) {
  const auto printer = Report(2);
  TQRPreview preview;
  preview.resize(300, 300);
  preview.SetQRPrinter(printer.get());
  preview.show();
  QCoreApplication::processEvents();
  TQRPreviewImage& image = preview.PageImage();
  image.repaint();
  const auto renders = image.RenderCount();
  EXPECT_GE(renders, 1U);
  EXPECT_EQ(image.CachedArea(), image.rect());

  preview.verticalScrollBar()->setValue(400);
  preview.horizontalScrollBar()->setValue(200);
  image.repaint();
  QCoreApplication::processEvents();
  EXPECT_EQ(image.RenderCount(), renders);

  preview.SetZoom(90);
  image.repaint();
  EXPECT_EQ(image.RenderCount(), renders + 1);
  preview.SetPageNumber(2);  // paints at once
  EXPECT_EQ(image.RenderCount(), renders + 2);

  // A huge sheet is rendered only around the part on screen.
  preview.SetZoom(2000);
  image.repaint();
  EXPECT_EQ(image.RenderCount(), renders + 3);
  EXPECT_LT(image.CachedArea().width(), image.width());
  EXPECT_LT(image.CachedArea().height(), image.height());
  EXPECT_EQ(image.grab(QRect(0, 0, 4, 4)).toImage().pixelColor(0, 0), QColor(Qt::black));
}

TEST_F(PreviewTest, ClicksReachTheHandlersCopiedAtAttach) {
  const auto printer = Report(1);
  TQRPreview preview;
  preview.resize(602, 499);
  int control = 0, page = 0;
  preview.Handlers.OnClick = [&] { ++control; };
  preview.SetQRPrinter(printer.get());
  preview.ZoomToFit();
  preview.PageImage().Handlers.OnClick = [&] { ++page; };

  Click(&preview.PageImage(), QPoint(20, 20));
  Click(preview.viewport(), QPoint(2, 2));
  EXPECT_EQ(page, 1);
  EXPECT_EQ(control, 1);

  // Attaching copies the control's handlers over the page's.
  preview.SetQRPrinter(printer.get());
  Click(&preview.PageImage(), QPoint(20, 20));
  EXPECT_EQ(control, 2);
  EXPECT_EQ(page, 1);
}

}  // namespace
}  // namespace pravel

namespace pravel {
namespace {

// Smoothed text on a sheet of twice the density is drawn at that density,
// not enlarged from the single one; on a sheet cached from an offset, in place.
TEST(PreviewSheetTest, SmoothTextSharpAtHighDensityAndInPlace) {
  EnsureApplication();
  const gdi::Metafile page = test::DrawnPage(1);
  const QSize size(397, 562);
  const auto sheet = [&](qreal ratio, QPoint from) {
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate(-from);
    PaintPreviewSheet(painter, &page, size, true);
    return image;
  };
  // "Page 1" at (10, 10) of the half-size sheet, in device pixels.
  const QImage dense = sheet(2, {});
  int odd = 0;
  for (int y = 16; y < 48; y += 2) {
    for (int x = 16; x < 120; x += 2) {
      const QRgb p = dense.pixel(x, y);
      if (p != dense.pixel(x + 1, y) || p != dense.pixel(x, y + 1)) ++odd;
    }
  }
  EXPECT_GT(odd, 20);

  const QImage whole = sheet(1, {}), part = sheet(1, {5, 5});
  EXPECT_EQ(part.copy(0, 0, 60, 20), whole.copy(5, 5, 60, 20));
}

}  // namespace
}  // namespace pravel
