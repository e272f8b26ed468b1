// The main window's reading commands, through key, wheel, mouse and drop events.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>

#include "platform/platform.h"
#include "platform/qt/test_home.h"
#include "preview/qr_preview.h"
#include "report/qr_printer_test_util.h"
#include "report/test_files.h"
#include "test_application.h"
#include "viewer/file_list_box.h"
#include "viewer/find_bar.h"
#include "viewer/konsola.h"
#include "viewer/smoothing_setting.h"

namespace pravel {
namespace {

QString Path(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

class ReadingTest : public ::testing::Test {
 protected:
  Platform platform_;

  void SetUp() override {
    EnsureApplication();
    platform_.OpenUrl = [this](const std::string& url) { opened_.push_back(QString::fromStdString(url)); };
    std::filesystem::create_directory(dir_ / "other");
    test::WriteReport(dir_ / "r12.qrp", test::DrawnPages(12));
    test::WriteReport(dir_ / "other" / "r3.qrp", test::DrawnPages(3));
  }

  std::unique_ptr<TFKonsolaPravel> Start(const QStringList& arguments) {
    Dialogs dialogs{.OpenFile = {},
                    .SaveFile = {},
                    .ShowMessage = {},
                    .ShowModal = {},
                    .AskPage = [this](QWidget*, int, int count) {
                      asked_count_ = count;
                      return next_page_;
                    }};
    auto window = std::make_unique<TFKonsolaPravel>(arguments, dialogs);
    window->show();
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    return window;
  }

  static QString Text(const TFKonsolaPravel& window, const char* edit) {
    return window.findChild<QLineEdit*>(QString::fromLatin1(edit))->text();
  }
  static void Wheel(TQRPreview& preview, int notches, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* at = preview.viewport();
    const QPointF pos(at->width() / 2.0, at->height() / 2.0);
    QWheelEvent wheel(pos, at->mapToGlobal(pos), {}, QPoint(0, 120 * notches), Qt::NoButton, mods, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(at, &wheel);
  }

  qt::TestHome home_;
  test::TempDir dir_;
  std::vector<QString> opened_;
  std::optional<int> next_page_;
  int asked_count_ = 0;
};

TEST_F(ReadingTest, KeysAndWheelTurnScrollAndZoom) {
  const auto window = Start({Path(dir_ / "r12.qrp")});
  TQRPreview& preview = window->QRPreview1();
  const int fit = preview.Zoom();

  // A whole page fits: the keys turn pages, through the page-number texts.
  QTest::keyClick(window.get(), Qt::Key_PageDown);
  QTest::keyClick(window.get(), Qt::Key_Space);
  EXPECT_EQ(Text(*window, "Edit1"), "3 z 12");
  QTest::keyClick(window.get(), Qt::Key_Backspace);
  EXPECT_EQ(preview.PageNumber(), 2);
  QTest::keyClick(window.get(), Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(Text(*window, "Edit1"), "12 z 12");
  QTest::keyClick(window.get(), Qt::Key_PageDown);
  EXPECT_EQ(preview.PageNumber(), 12);
  QTest::keyClick(window.get(), Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(Text(*window, "Edit1"), "1 z 12");
  Wheel(preview, -1);
  EXPECT_EQ(preview.PageNumber(), 2);
  Wheel(preview, 1);
  EXPECT_EQ(preview.PageNumber(), 1);

  // Zoom keys and Ctrl+wheel follow the zoom buttons' rules.
  QTest::keyClick(window.get(), Qt::Key_Plus, Qt::ControlModifier);
  EXPECT_EQ(Text(*window, "Edit2"), QString::number(fit + 10) + " %");
  QTest::keyClick(window.get(), Qt::Key_Minus, Qt::ControlModifier);
  Wheel(preview, -1, Qt::ControlModifier);
  EXPECT_EQ(preview.Zoom(), fit - 10);
  QTest::keyClick(window.get(), Qt::Key_0, Qt::ControlModifier);
  EXPECT_EQ(Text(*window, "Edit2"), "100 %");

  // Taller than the view: scrolling comes first, the page turns at the bottom.
  QScrollBar* bar = preview.verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  QTest::keyClick(window.get(), Qt::Key_PageDown);
  EXPECT_EQ(preview.PageNumber(), 1);
  EXPECT_GT(bar->value(), 0);
  QTest::keyClick(window.get(), Qt::Key_Down);
  const int down = bar->value();
  QTest::keyClick(window.get(), Qt::Key_Up);
  EXPECT_LT(bar->value(), down);
  QTest::keyClick(window.get(), Qt::Key_End);
  EXPECT_EQ(bar->value(), bar->maximum());
  Wheel(preview, -1);
  EXPECT_EQ(Text(*window, "Edit1"), "2 z 12");
  EXPECT_EQ(bar->value(), 0);
  // Back up from the top lands at the bottom of the page before.
  QTest::keyClick(window.get(), Qt::Key_PageUp);
  EXPECT_EQ(preview.PageNumber(), 1);
  EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(ReadingTest, FindBarGoesFromHitToHitAcrossPages) {
  const auto window = Start({Path(dir_ / "r12.qrp")});
  TFindBar& bar = window->FindBar();
  EXPECT_TRUE(bar.isHidden());
  QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(bar.isVisible());
  QTest::keyClicks(&bar.Field(), "page 1");
  QTest::keyClick(&bar.Field(), Qt::Key_Return);
  TQRPreview& preview = window->QRPreview1();
  EXPECT_EQ(preview.PageNumber(), 1);
  ASSERT_EQ(preview.PageImage().Hits().size(), 1u);
  const QRect hit = preview.PageImage().SheetRect(preview.PageImage().Hits().front());
  const double scale = preview.PageImage().width() / 794.0;
  EXPECT_NEAR(hit.left(), 20 * scale, 2);
  EXPECT_NEAR(hit.width(), 48 * scale, 2);

  // "Page 10", "Page 11", "Page 12", then round to "Page 1".
  std::vector<int> pages;
  for (int k = 0; k < 4; ++k) {
    QTest::keyClick(window.get(), Qt::Key_F3);
    pages.push_back(preview.PageNumber());
  }
  EXPECT_EQ(pages, (std::vector<int>{10, 11, 12, 1}));
  QTest::keyClick(window.get(), Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(Text(*window, "Edit1"), "12 z 12");
  EXPECT_EQ(window->StatusText(), "Stron: 12");

  bar.MatchCase().setChecked(true);
  QTest::keyClick(&bar.Field(), Qt::Key_Return);
  EXPECT_EQ(window->StatusText(), "Nie znaleziono");
  EXPECT_TRUE(preview.PageImage().Hits().empty());
  EXPECT_EQ(preview.PageNumber(), 12);

  // Esc closes the bar and takes the outlines away.
  bar.MatchCase().setChecked(false);
  QTest::keyClick(&bar.Field(), Qt::Key_Return);
  EXPECT_FALSE(preview.PageImage().Hits().empty());
  QTest::keyClick(&bar.Field(), Qt::Key_Escape);
  EXPECT_TRUE(bar.isHidden());
  EXPECT_TRUE(preview.PageImage().Hits().empty());
}

TEST_F(ReadingTest, LongSearchRunsBetweenMessagesAndEscStopsIt) {
  test::WriteReport(dir_ / "r80.qrp", test::DrawnPages(80));
  const auto window = Start({Path(dir_ / "r80.qrp")});
  TFindBar& bar = window->FindBar();
  window->FindClick();
  bar.Field().setText("Page 79");
  bar.FindNext();
  EXPECT_TRUE(bar.Searching());  // more pages than one step takes
  for (int k = 0; k < 100 && bar.Searching(); ++k) QCoreApplication::processEvents();
  EXPECT_EQ(Text(*window, "Edit1"), "79 z 80");

  bar.Field().setText("nowhere");
  bar.FindNext();
  ASSERT_TRUE(bar.Searching());
  QTest::keyClick(&bar.Field(), Qt::Key_Escape);
  EXPECT_FALSE(bar.Searching());
  EXPECT_TRUE(bar.isVisible());
  EXPECT_EQ(window->StatusText(), "Stron: 80");
  // From the window too, with the page focused.
  bar.FindNext();
  window->QRPreview1().setFocus();
  QTest::keyClick(window.get(), Qt::Key_Escape);
  EXPECT_FALSE(bar.Searching());
}

TEST_F(ReadingTest, DragSelectsAndCopiesAClickStillOpensTheWebPage) {
  const auto window = Start({Path(dir_ / "r12.qrp")});
  window->QRPreview1().SetZoom(100);
  TQRPreviewImage& image = window->QRPreview1().PageImage();
  // Round the text "Page 1" at (20, 20).
  QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseMove(&image, QPoint(40, 30));
  QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(90, 40));
  ASSERT_EQ(image.Selection().size(), 1u);
  EXPECT_TRUE(opened_.empty());
  QApplication::clipboard()->clear();
  QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "Page 1");

  // A drag over no text selects nothing.
  QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(300, 300));
  QTest::mouseMove(&image, QPoint(330, 330));
  QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(360, 360));
  EXPECT_TRUE(image.Selection().empty());

  QTest::keyClick(window.get(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(image.SelectedText(), "Page 1");

  QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(300, 300));
  EXPECT_EQ(opened_.size(), 1u);
}

TEST_F(ReadingTest, GoToPageDropAndReload) {
  const auto window = Start({Path(dir_ / "r12.qrp")});
  next_page_ = 7;
  QTest::keyClick(window.get(), Qt::Key_G, Qt::ControlModifier);
  EXPECT_EQ(asked_count_, 12);
  EXPECT_EQ(Text(*window, "Edit1"), "7 z 12");
  next_page_.reset();
  QTest::keyClick(window.get(), Qt::Key_G, Qt::ControlModifier);
  EXPECT_EQ(window->QRPreview1().PageNumber(), 7);

  // The report rewritten: F5 keeps page 7 while it exists, else the last page.
  test::WriteReport(dir_ / "r12.qrp", test::DrawnPages(9));
  QTest::keyClick(window.get(), Qt::Key_F5);
  EXPECT_EQ(Text(*window, "Edit1"), "7 z 9");
  EXPECT_EQ(window->StatusText(), "Stron: 9");
  test::WriteReport(dir_ / "r12.qrp", test::DrawnPages(4));
  QTest::keyClick(window.get(), Qt::Key_F5);
  EXPECT_EQ(Text(*window, "Edit1"), "4 z 4");

  const auto drop = [&](const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at = window->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &dropped);
    return enter.isAccepted();
  };
  EXPECT_FALSE(drop(Path(dir_ / "notes.txt")));
  EXPECT_EQ(window->ShownFile(), Path(dir_ / "r12.qrp"));
  const QString other = Path(dir_ / "other" / "r3.qrp");
  EXPECT_TRUE(drop(other));
  EXPECT_EQ(window->windowTitle(), "Pravel - <" + other + ">");
  EXPECT_EQ(Text(*window, "Edit1"), "1 z 3");
  EXPECT_EQ(window->FileListBox1().Directory(), Path(dir_ / "other"));
}

TEST_F(ReadingTest, SmoothingIsOnByDefaultAndRemembered) {
  {
    const auto window = Start({Path(dir_ / "r12.qrp")});
    auto* smoothing = window->findChild<QAction*>("Wygladzanie1");
    ASSERT_NE(smoothing, nullptr);
    EXPECT_EQ(smoothing->text(), "Wygładzanie");
    EXPECT_TRUE(smoothing->isChecked());
    EXPECT_TRUE(window->QRPreview1().PageImage().SmoothText());
    smoothing->trigger();
    EXPECT_FALSE(window->QRPreview1().PageImage().SmoothText());
  }
  EXPECT_FALSE(ReadSmoothing());
  const auto window = Start({Path(dir_ / "r12.qrp")});
  EXPECT_FALSE(window->findChild<QAction*>("Wygladzanie1")->isChecked());
  EXPECT_FALSE(window->QRPreview1().PageImage().SmoothText());
}

}  // namespace
}  // namespace pravel
