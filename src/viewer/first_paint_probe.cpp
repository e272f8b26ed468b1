#include "viewer/first_paint_probe.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "preview/qr_preview.h"
#include "viewer/konsola.h"

namespace pravel {

namespace {

constexpr int kGiveUpMs = 20000;
constexpr int kSettleMs = 500;  // lets the window system show the painted page

void TakeScreenshot(TFKonsolaPravel& window, const QString& file) {
  QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr || !screen->grabWindow(0).save(file, "PNG")) {
    std::fprintf(stderr, "pravel: cannot write the screenshot %s\n", qPrintable(file));
    QCoreApplication::exit(2);
    return;
  }
  TQRPreviewImage& image = window.QRPreview1().PageImage();
  const QPoint at = image.mapToGlobal(QPoint(0, 0)) - screen->geometry().topLeft();
  std::printf("frame %d %d %d %d\n", at.x(), at.y(), image.width(), image.height());
  std::fflush(stdout);
  QCoreApplication::exit(0);
}

}  // namespace

bool InstallFirstPaintProbe(TFKonsolaPravel& window, const QElapsedTimer& started) {
  const bool timing = qEnvironmentVariableIsSet("PRAVEL_FIRST_PAINT");
  const QString screenshot = qEnvironmentVariable("PRAVEL_SCREENSHOT");
  if (!timing && screenshot.isEmpty()) return false;

  auto done = std::make_shared<bool>(false);
  TQRPreviewImage& image = window.QRPreview1().PageImage();
  QObject::connect(&image, &TQRPreviewImage::PagePainted, &window, [&window, started, timing, screenshot, done] {
    if (*done) return;
    *done = true;
    if (timing) {
      std::fprintf(stderr, "first page painted after %lld ms\n", static_cast<long long>(started.elapsed()));
    }
    if (screenshot.isEmpty()) {
      QCoreApplication::exit(0);
    } else {
      QTimer::singleShot(kSettleMs, &window, [&window, screenshot] { TakeScreenshot(window, screenshot); });
    }
  });
  QTimer::singleShot(kGiveUpMs, &window, [done] {
    if (*done) return;
    std::fprintf(stderr, "pravel: no page was painted\n");
    QCoreApplication::exit(2);
  });
  return true;
}

}  // namespace pravel
