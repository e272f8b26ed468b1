#include "platform/qt/png_writer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <span>

namespace pravel::qt {
namespace {

QImage Decode(const QByteArray& png) {
  QImage out;
  EXPECT_TRUE(out.loadFromData(png, "PNG"));
  return out;
}

// Every pixel of `b` equals `a`'s, colours only.
void ExpectSamePixels(const QImage& a, const QImage& b) {
  ASSERT_EQ(a.size(), b.size());
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      ASSERT_EQ(a.pixel(x, y) & 0xFFFFFFu, b.pixel(x, y) & 0xFFFFFFu) << x << ',' << y;
}

TEST(PngWriter, FewColoursMakeAPaletteImageThatDecodesToTheSamePixels) {
  QImage image(37, 11, QImage::Format_RGB32);  // odd width: no row padding assumed
  image.fill(Qt::white);
  for (int x = 0; x < 37; ++x) image.setPixel(x, x % 11, qRgb(x * 7, 255 - x, 3));
  const QByteArray png = EncodePng(image);
  ASSERT_TRUE(png.startsWith("\x89PNG\r\n\x1a\n"));
  EXPECT_EQ(png[25], 3);  // colour type: palette
  const QImage decoded = Decode(png);
  ExpectSamePixels(image, decoded);
}

TEST(PngWriter, MoreThan256ColoursFallBackToRgb) {
  QImage image(300, 3, QImage::Format_RGB32);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 300; ++x) image.setPixel(x, y, qRgb(x & 0xFF, x >> 8, y * 100));
  const QByteArray png = EncodePng(image);
  EXPECT_EQ(png[25], 2);  // colour type: RGB
  ExpectSamePixels(image, Decode(png));
  // Another format is converted first.
  ExpectSamePixels(image, Decode(EncodePng(image.convertToFormat(QImage::Format_RGB888))));
}

TEST(PngWriter, BuffersUsedForManyPagesGiveTheBytesOfAFreshEncoding) {
  // Larger and smaller pages, palette and RGB, in turn: nothing of one page
  // may show in the next.
  QImage rgb(300, 40, QImage::Format_RGB32);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 300; ++x) rgb.setPixel(x, y, qRgb(x & 0xFF, y, x >> 8));
  QImage large(500, 90, QImage::Format_RGB32), small(9, 5, QImage::Format_RGB32);
  large.fill(Qt::white);
  large.setPixel(3, 4, qRgb(1, 2, 3));
  small.fill(Qt::blue);
  PngBuffers buffers;
  for (const QImage* image : {&large, &rgb, &small, &large, &small, &rgb}) {
    const std::span<const char> png = EncodePng(*image, buffers);
    EXPECT_EQ(QByteArray(png.data(), static_cast<qsizetype>(png.size())), EncodePng(*image)) << image->width();
  }
  ExpectSamePixels(small, Decode(EncodePng(small)));
}

TEST(PngWriter, NullImagesAndUnwritablePathsFail) {
  EXPECT_TRUE(EncodePng(QImage()).isEmpty());
  QImage image(2, 2, QImage::Format_RGB32);
  image.fill(Qt::black);
  QTemporaryDir dir;
  EXPECT_FALSE(WritePng(image, dir.filePath("missing/page.png")));
  ASSERT_TRUE(WritePng(image, dir.filePath("page.png")));
  QImage back(dir.filePath("page.png"));
  ExpectSamePixels(image, back);
}

}  // namespace
}  // namespace pravel::qt
