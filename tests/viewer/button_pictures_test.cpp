#include "viewer/button_pictures.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <algorithm>
#include <vector>

#include "test_application.h"

namespace pravel {
namespace {

TEST(ButtonPictures, EveryNameHasItsOwnPicture) {
  EnsureApplication();
  QStringList names = ButtonPictureNames();
  ASSERT_EQ(names.size(), 10);
  names << QString::fromLatin1(kZoomOutPicture) << QString::fromLatin1(kZoomInPicture);
  std::vector<QImage> seen;
  for (const QString& name : names) {
    const QIcon icon = ButtonPicture(name);
    ASSERT_FALSE(icon.isNull()) << name.toStdString();
    const QImage image = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) ink += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    EXPECT_GT(ink, 10) << name.toStdString();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), image), 0) << name.toStdString();
    seen.push_back(image);
  }
  EXPECT_TRUE(ButtonPicture(u"NOSUCHBITMAP").isNull());
}

}  // namespace
}  // namespace pravel
