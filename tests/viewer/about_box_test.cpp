#include "viewer/about_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>

#include "platform/platform.h"
#include "platform/qt/qstring_printer.h"
#include "test_application.h"
#include "viewer/about_texts.h"
#include "viewer/web_page.h"

namespace pravel {
namespace {

class AboutBoxTest : public ::testing::Test {
 protected:
  Platform platform_;

  void SetUp() override {
    EnsureApplication();
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Pravel 1.2"));
    platform_.OpenUrl = [this](const std::string& url) { opened_.push_back(QUrl(QString::fromStdString(url))); };
  }

  QLabel* Item(const TAboutBox& box, const char* name) {
    auto* label = box.findChild<QLabel*>(QString::fromLatin1(name));
    EXPECT_NE(label, nullptr) << name;
    return label;
  }

  static void Click(QWidget* widget) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    const QPointF global = widget->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
  }

  std::vector<QUrl> opened_;
};

TEST_F(AboutBoxTest, ItemsCarryTheirTexts) {
  const TAboutBox box;
  EXPECT_EQ(box.windowTitle(), "O programie");
  EXPECT_EQ(box.size(), QSize(333, 368));
  EXPECT_TRUE(box.windowFlags() & Qt::FramelessWindowHint);

  EXPECT_EQ(Item(box, "Label3")->text(), "Pravel 1.2");
  EXPECT_EQ(Item(box, "Label1")->text(), "view and print saved report *.qrp files");
  EXPECT_EQ(Item(box, "Label2")->text(), "ZAMKNIJ");
  EXPECT_TRUE(Item(box, "Label2")->font().underline());
  EXPECT_EQ(Item(box, "Label2")->geometry(), QRect(272, 8, 56, 16));
  EXPECT_EQ(Item(box, "Label4")->text(), QString::fromLatin1(kMakerWebAddressText));
  EXPECT_EQ(Item(box, "Label4")->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(Item(box, "StaticText1")->text(), OperatingSystemLine(CurrentSystemVersion()));
  EXPECT_EQ(Item(box, "StaticText4")->text(), MemoryLine(TotalPhysicalMemory(), QLocale().groupSeparator()));
  EXPECT_EQ(Item(box, "StaticText4")->pos(), QPoint(16, 324));
  EXPECT_GT(TotalPhysicalMemory(), 0U);
  EXPECT_EQ(Item(box, "Label3")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

TEST_F(AboutBoxTest, ZamknijClosesWithResultOne) {
  TAboutBox box;
  int finished_with = -1;
  QObject::connect(&box, &QDialog::finished, [&](int result) { finished_with = result; });
  box.open();
  ASSERT_TRUE(box.isVisible());
  Click(Item(box, "Label2"));
  EXPECT_FALSE(box.isVisible());
  EXPECT_EQ(finished_with, 1);
  EXPECT_TRUE(opened_.empty());

  // Shown again unchanged the next time.
  box.open();
  EXPECT_TRUE(box.isVisible());
  EXPECT_EQ(Item(box, "Label3")->text(), "Pravel 1.2");
  box.reject();
}

TEST_F(AboutBoxTest, WebAddressLabelOpensTheMakersPage) {
  TAboutBox box;
  box.open();
  Click(Item(box, "Label4"));
  ASSERT_EQ(opened_.size(), 1U);
  EXPECT_EQ(opened_.front(), QUrl(QString::fromLatin1(kMakerWebAddress)));
  EXPECT_TRUE(box.isVisible());
  box.reject();
}

TEST_F(AboutBoxTest, WhiteIsSeeThrough) {
  TAboutBox box;
  box.open();
  const QRegion mask = box.mask();
  ASSERT_FALSE(mask.isEmpty());
  EXPECT_TRUE(mask.contains(QPoint(150, 280)));   // inside the rounded shape
  EXPECT_FALSE(mask.contains(QPoint(2, 122)));    // the shape's rounded corner
  EXPECT_FALSE(mask.contains(QPoint(320, 360)));  // white background
  EXPECT_FALSE(mask.contains(QPoint(5, 5)));
  const QRegion label2(Item(box, "Label2")->geometry());
  EXPECT_TRUE(mask.intersects(label2));     // the text of "ZAMKNIJ"
  EXPECT_FALSE((label2 - mask).isEmpty());  // but not the white around it
  box.reject();
}

}  // namespace
}  // namespace pravel
