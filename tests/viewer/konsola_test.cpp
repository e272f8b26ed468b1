#include "viewer/konsola.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "platform/platform.h"
#include "platform/qt/qstring_printer.h"
#include "platform/qt/test_home.h"
#include "platform/rounding.h"
#include "preview/error_handler.h"
#include "preview/qr_preview.h"
#include "report/qr_printer.h"
#include "report/qr_printer_test_util.h"
#include "report/test_files.h"
#include "test_application.h"
#include "viewer/file_list_box.h"
#include "viewer/folder_setting.h"
#include "viewer/web_page.h"

namespace pravel {
namespace {

using test::DrawnPages;
using test::TempDir;

QString Path(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

class KonsolaTest : public ::testing::Test {
 protected:
  Platform platform_;

  void SetUp() override {
    EnsureApplication();
    platform_.ShowError = [this](const std::string& message) { errors_.push_back(QString::fromStdString(message)); };
    platform_.OpenUrl = [this](const std::string& url) { opened_.push_back(QUrl(QString::fromStdString(url))); };
    std::filesystem::create_directory(dir_ / "other");
    test::WriteReport(dir_ / "r12.qrp", DrawnPages(12));
    test::WriteReport(dir_ / "other" / "r3.qrp", DrawnPages(3));
    test::WriteReport(dir_ / "none.qrp", {});
    std::ofstream(dir_ / "bad.qrp") << "not a report";
  }

  Dialogs FakeDialogs() {
    return {.OpenFile =
                [this](QWidget*, const OpenDialogRequest& request) {
                  open_requests_.push_back(request);
                  return next_open_;
                },
            .SaveFile = {},
            .ShowMessage = [this](QWidget*, const MessageRequest& message) { messages_.push_back(message); },
            .ShowModal = [this](QDialog&) { ++modals_; },
            .AskPage = {}};
  }

  // The window shown and started as the program starts it.
  std::unique_ptr<TFKonsolaPravel> Start(const QStringList& arguments) {
    auto window = std::make_unique<TFKonsolaPravel>(arguments, FakeDialogs());
    window->show();
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    return window;
  }

  static QString Text(const TFKonsolaPravel& window, const char* edit) {
    return window.findChild<QLineEdit*>(QString::fromLatin1(edit))->text();
  }
  static void Trigger(const TFKonsolaPravel& window, const char* action) {
    window.findChild<QAction*>(QString::fromLatin1(action))->trigger();
  }
  static void Press(const TFKonsolaPravel& window, const char* button) {
    window.findChild<QToolButton*>(QString::fromLatin1(button))->click();
  }
  // The whole-page zoom of an A4 page in the window's preview.
  static int FitZoom(const TFKonsolaPravel& window) {
    const TQRPreview& preview = window.QRPreview1();
    return std::min(RoundHalfEven(preview.width() / 794.0L * 95), RoundHalfEven(preview.height() / 1123.0L * 95));
  }

  qt::TestHome home_;
  TempDir dir_;
  std::vector<QString> errors_;
  std::vector<QUrl> opened_;
  std::vector<OpenDialogRequest> open_requests_;
  std::vector<MessageRequest> messages_;
  std::optional<QString> next_open_;
  int modals_ = 0;
};

TEST_F(KonsolaTest, LayoutAndShortcuts) {
  const TFKonsolaPravel window({}, FakeDialogs());
  EXPECT_EQ(window.windowTitle(), "Pravel");
  EXPECT_EQ(window.size(), QSize(800, 600));

  // The button bar: left offsets, flat buttons with pictures and hints.
  const std::pair<const char*, int> buttons[] = {
      {"sbFirstPage", 1}, {"sbPreviousPage", 26}, {"sbNextPage", 112},   {"sbLastPage", 136},   {"ZoomToFit", 176},
      {"ZoomTo100", 200}, {"ZoomToWidth", 224},   {"SpeedButton1", 248}, {"SpeedButton2", 336}, {"PrintSetup", 384},
      {"Print", 408},     {"Save", 472},          {"SpeedButton6", 520}};
  for (const auto& [name, left] : buttons) {
    const auto* button = window.findChild<QToolButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    const bool close = QString::fromLatin1(name) == "SpeedButton6";
    EXPECT_EQ(button->geometry(), QRect(left, 0, close ? 65 : 25, 25)) << name;
    EXPECT_TRUE(button->autoRaise()) << name;
    EXPECT_FALSE(button->toolTip().isEmpty()) << name;
    EXPECT_EQ(button->icon().isNull(), close) << name;
  }
  for (const auto& [name, left] : {std::pair{"Edit1", 54}, {"Edit2", 278}}) {
    const auto* edit = window.findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_EQ(edit->geometry().left(), left);
    EXPECT_TRUE(edit->isReadOnly() && !edit->isEnabled()) << name;
  }
  EXPECT_EQ(window.findChild<QWidget*>("Panel1")->height(), 26);
  EXPECT_EQ(window.findChild<QStatusBar*>("StatusBar1")->height(), 19);
  EXPECT_EQ(window.QRPreview1().cursor().shape(), Qt::PointingHandCursor);

  const auto shortcut = [&](const char* name) {
    return window.findChild<QAction*>(QString::fromLatin1(name))->shortcut();
  };
  EXPECT_EQ(shortcut("Otwrz1"), QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(shortcut("Drukuj1"), QKeySequence(Qt::CTRL | Qt::Key_P));
  EXPECT_EQ(shortcut("Zakocz1"), QKeySequence(Qt::ALT | Qt::Key_F4));
  // The separator keeps the minus key but does nothing with it.
  EXPECT_EQ(shortcut("N2"), QKeySequence(Qt::Key_Minus));
  EXPECT_FALSE(window.findChild<QAction*>("N2")->isEnabled());
  QStringList menus;
  for (const QAction* top : window.menuBar()->actions()) menus << top->text();
  EXPECT_EQ(menus, (QStringList{"Plik", "Widok", "O programie"}));
}

TEST_F(KonsolaTest, StartsWithAReportFromTheCommandLine) {
  const QString path = Path(dir_ / "r12.qrp");
  const auto window = Start({path});
  ASSERT_TRUE(errors_.empty()) << errors_.front().toStdString();
  EXPECT_EQ(window->windowTitle(), "Pravel - <" + path + ">");
  EXPECT_EQ(window->StatusText(), "Stron: 12");
  EXPECT_EQ(Text(*window, "Edit1"), "1 z 12");
  EXPECT_EQ(Text(*window, "Edit2"), QString::number(FitZoom(*window)) + " %");
  EXPECT_EQ(window->QRPreview1().ZoomMode(), TQRZoomMode::Fit);
  EXPECT_EQ(window->FileListBox1().Directory(), Path(dir_.Path()));
  EXPECT_TRUE(window->FileListBox1().findItems("r12.qrp", Qt::MatchExactly).size() == 1);
  ASSERT_NE(window->FilePrinter(), nullptr);
  EXPECT_EQ(window->QRPreview1().QRPrinter(), window->FilePrinter());
  EXPECT_EQ(window->FilePrinter()->Title(), path.toStdString());
  EXPECT_TRUE(window->QRPreview1().PageImage().ImageOK());
  EXPECT_EQ(window->SpinEdit1().MaxValue(), 12);
  EXPECT_FALSE(window->SpinEdit1().ReadOnly());
  EXPECT_FALSE(window->TerminateRequested());

  // Later activations change nothing.
  TQRPrinter* printer = window->FilePrinter();
  window->sbNextPageClick();
  window->FormActivate();
  EXPECT_EQ(window->FilePrinter(), printer);
  EXPECT_EQ(Text(*window, "Edit1"), "2 z 12");
}

TEST_F(KonsolaTest, ABadCommandLineFileEndsTheProgramWithoutStoringTheFolder) {
  for (const QString& argument : {Path(dir_ / "missing.qrp"), Path(dir_ / "bad.qrp")}) {
    messages_.clear();
    const auto window = Start({argument});
    ASSERT_EQ(messages_.size(), 1U);
    EXPECT_EQ(messages_[0].text, "Niepoprawny format pliku: " + argument);
    EXPECT_EQ(messages_[0].caption, "Błąd");
    EXPECT_EQ(messages_[0].icon, MessageIcon::Error);
    EXPECT_TRUE(window->TerminateRequested());
    EXPECT_EQ(window->windowTitle(), "Pravel");
  }
  EXPECT_EQ(ReadFolder(), ExecutableFolder());
}

TEST_F(KonsolaTest, StartsWithoutAFileInTheStoredFolder) {
  {
    const auto window = Start({});
    EXPECT_EQ(window->FileListBox1().Directory() + "/", ExecutableFolder());
  }
  WriteFolder(Path(dir_ / "other"));
  const auto window = Start({});
  EXPECT_TRUE(errors_.empty());
  EXPECT_EQ(window->FileListBox1().Directory(), Path(dir_ / "other"));
  EXPECT_EQ(window->FileListBox1().count(), 1);
  EXPECT_EQ(Text(*window, "Edit1"), "1 z 1");
  EXPECT_EQ(window->StatusText(), "Stron: 1");
  EXPECT_TRUE(window->SpinEdit1().ReadOnly());
  EXPECT_EQ(window->windowTitle(), "Pravel");

  // Closing stores the list's folder.
  window->FileListBox1().SetDirectory(Path(dir_.Path()));
  window->close();
  EXPECT_EQ(ReadFolder(), Path(dir_.Path()));
}

TEST_F(KonsolaTest, PageCommandsStopAtTheEnds) {
  const auto window = Start({Path(dir_ / "r12.qrp")});
  const TQRPreview& preview = window->QRPreview1();
  Press(*window, "sbPreviousPage");
  EXPECT_EQ(Text(*window, "Edit1"), "1 z 12");
  EXPECT_EQ(preview.PageNumber(), 1);
  Press(*window, "sbNextPage");
  Press(*window, "sbNextPage");
  EXPECT_EQ(Text(*window, "Edit1"), "3 z 12");
  EXPECT_EQ(preview.PageImage().PageNumber(), 3);
  Press(*window, "sbLastPage");
  Press(*window, "sbNextPage");
  EXPECT_EQ(Text(*window, "Edit1"), "12 z 12");
  EXPECT_EQ(preview.PageNumber(), 12);
  Press(*window, "sbPreviousPage");
  EXPECT_EQ(preview.PageNumber(), 11);
  Press(*window, "sbFirstPage");
  EXPECT_EQ(Text(*window, "Edit1"), "1 z 12");
  EXPECT_EQ(preview.PageNumber(), 1);
  // A page chosen on the preview itself reaches the holder and the text.
  window->QRPreview1().SetPageNumber(7);
  EXPECT_EQ(window->SpinEdit1().Value(), 7);
  EXPECT_EQ(Text(*window, "Edit1"), "7 z 12");
  Press(*window, "sbNextPage");
  EXPECT_EQ(preview.PageNumber(), 8);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(KonsolaTest, AReportWithoutPages) {
  const auto window = Start({Path(dir_ / "none.qrp")});
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(Text(*window, "Edit1"), "0 z 0");
  EXPECT_EQ(window->StatusText(), "Stron: 0");
  Press(*window, "sbLastPage");
  EXPECT_EQ(Text(*window, "Edit1"), "1 z 0");
  Press(*window, "sbNextPage");
  EXPECT_EQ(Text(*window, "Edit1"), "1 z 0");
  EXPECT_FALSE(window->QRPreview1().PageImage().ImageOK());
}

TEST_F(KonsolaTest, ZoomStepsAndModes) {
  const auto window = Start({Path(dir_ / "r12.qrp")});
  TQRPreview& preview = window->QRPreview1();
  preview.SetZoom(57);
  QStringList texts;
  for (int i = 0; i < 5; ++i) {
    Press(*window, "SpeedButton1");
    texts << Text(*window, "Edit2");
  }
  EXPECT_EQ(texts, (QStringList{"47 %", "37 %", "27 %", "17 %", "17 %"}));
  preview.SetZoom(195);
  Press(*window, "SpeedButton2");
  Press(*window, "SpeedButton2");
  EXPECT_EQ(Text(*window, "Edit2"), "205 %");
  EXPECT_EQ(preview.Zoom(), 205);

  Trigger(*window, "N1001");
  EXPECT_EQ(Text(*window, "Edit2"), "100 %");
  Press(*window, "ZoomToWidth");
  EXPECT_EQ(preview.ZoomMode(), TQRZoomMode::Width);
  EXPECT_EQ(Text(*window, "Edit2"), QString::number(RoundHalfEven(preview.width() / 794.0L * 90)) + " %");
  Trigger(*window, "Caastrona1");
  EXPECT_EQ(Text(*window, "Edit2"), QString::number(FitZoom(*window)) + " %");

  // Growing the window keeps the page's zoom and place; the zoom text
  // catches up with a zoom the preview chose by itself.
  const QRect placed = preview.PageImage().geometry();
  const int zoom = preview.Zoom();
  window->resize(1000, 800);
  EXPECT_EQ(preview.Zoom(), zoom);
  EXPECT_EQ(preview.PageImage().geometry(), placed);
  preview.SetZoom(77);
  window->resize(900, 700);
  EXPECT_EQ(Text(*window, "Edit2"), "77 %");
}

TEST_F(KonsolaTest, OpeningReplacesTheReportInTheSamePrinter) {
  const auto window = Start({Path(dir_ / "r12.qrp")});
  TQRPrinter* printer = window->FilePrinter();
  window->sbLastPageClick();

  next_open_.reset();
  Trigger(*window, "Otwrz1");
  ASSERT_EQ(open_requests_.size(), 1U);
  EXPECT_EQ(open_requests_[0].title, "Otwórz");
  EXPECT_EQ(open_requests_[0].filters, (QStringList{"pliki raportów (*.qrp)", "wszystkie pliki (*)"}));
  EXPECT_EQ(open_requests_[0].directory, Path(dir_.Path()));
  EXPECT_EQ(Text(*window, "Edit1"), "12 z 12");  // cancelled

  const QString second = Path(dir_ / "other" / "r3.qrp");
  next_open_ = second;
  Trigger(*window, "Otwrz1");
  EXPECT_TRUE(errors_.empty());
  EXPECT_EQ(window->QRPreview1().QRPrinter(), printer);
  EXPECT_EQ(printer->PageCount(), 3);
  EXPECT_EQ(printer->Title(), second.toStdString());
  EXPECT_EQ(window->windowTitle(), "Pravel - <" + second + ">");
  EXPECT_EQ(Text(*window, "Edit1"), "1 z 3");
  EXPECT_EQ(window->StatusText(), "Stron: 3");
  EXPECT_EQ(window->QRPreview1().PageNumber(), 1);
  EXPECT_EQ(window->FileListBox1().Directory(), Path(dir_ / "other"));

  // A file that cannot be loaded reaches the error handler; the texts stay
  // and the printer is left without pages.
  next_open_ = Path(dir_ / "bad.qrp");
  Trigger(*window, "Otwrz1");
  ASSERT_EQ(errors_.size(), 1U);
  EXPECT_EQ(window->windowTitle(), "Pravel - <" + second + ">");
  EXPECT_EQ(Text(*window, "Edit1"), "1 z 3");
  EXPECT_EQ(window->FileListBox1().Directory(), Path(dir_.Path()));
  EXPECT_EQ(printer->Status(), TQRPrinterStatus::Ready);
  Press(*window, "sbNextPage");
  EXPECT_FALSE(window->QRPreview1().PageImage().ImageOK());
}

TEST_F(KonsolaTest, OneClickInTheListOpensTheFile) {
  const auto window = Start({Path(dir_ / "other" / "r3.qrp")});
  TFileListBox& list = window->FileListBox1();
  list.SetDirectory(Path(dir_.Path()));
  QListWidgetItem* item = list.findItems("r12.qrp", Qt::MatchExactly).front();
  list.setCurrentItem(item);
  emit list.itemClicked(item);
  EXPECT_TRUE(errors_.empty());
  EXPECT_EQ(window->windowTitle(), "Pravel - <" + Path(dir_ / "r12.qrp") + ">");
  EXPECT_EQ(Text(*window, "Edit1"), "1 z 12");
  EXPECT_EQ(window->FilePrinter()->PageCount(), 12);
}

TEST_F(KonsolaTest, OpeningWithNothingShownGivesTheFileAPrinter) {
  const auto window = Start({});
  next_open_ = Path(dir_ / "r12.qrp");
  Trigger(*window, "Otwrz1");
  EXPECT_TRUE(errors_.empty());
  ASSERT_NE(window->FilePrinter(), nullptr);
  EXPECT_EQ(window->QRPreview1().QRPrinter(), window->FilePrinter());
  EXPECT_EQ(Text(*window, "Edit1"), "1 z 12");
  EXPECT_FALSE(window->SpinEdit1().ReadOnly());
}

TEST_F(KonsolaTest, ClosingDetachesThePrinterAndStoresTheFolder) {
  const auto window = Start({Path(dir_ / "other" / "r3.qrp")});
  TQRPrinter* printer = window->FilePrinter();
  Press(*window, "SpeedButton6");
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->QRPreview1().QRPrinter(), nullptr);
  EXPECT_FALSE(printer->ShowingPreview());
  EXPECT_EQ(ReadFolder(), Path(dir_ / "other"));
}

TEST_F(KonsolaTest, ClosingTheWindowEndsTheEventLoop) {
  TFKonsolaPravel window({Path(dir_ / "r12.qrp")}, FakeDialogs());
  window.show();
  bool gave_up = false;
  QTimer::singleShot(0, &window, [&] { Trigger(window, "Zakocz1"); });
  QTimer::singleShot(10000, &window, [&] {
    gave_up = true;
    QCoreApplication::exit(3);
  });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(gave_up);
  EXPECT_EQ(ReadFolder(), Path(dir_.Path()));
}

TEST_F(KonsolaTest, AboutBoxAndWebPage) {
  const auto window = Start({Path(dir_ / "r12.qrp")});
  Trigger(*window, "Oprogramie1");
  EXPECT_EQ(modals_, 0);  // no About box given
  QDialog about;
  window->SetAboutBox(&about);
  Trigger(*window, "Oprogramie1");
  EXPECT_EQ(modals_, 1);

  window->QRPreview1().PageImage().Handlers.OnClick();
  ASSERT_EQ(opened_.size(), 1U);
  EXPECT_EQ(opened_[0], QUrl(QString::fromLatin1(kMakerWebAddress)));
}

// Every report of the shared corpus, good or broken, is shown page by page
// without harm; the good ones show every page.
TEST_F(KonsolaTest, APageAskingForTooMuchWorkIsNamedInTheStatus) {
  test::WriteReport(dir_ / "work.qrp", {test::DrawnPage(1), test::WorkExhaustingPage()});
  const auto window = Start({Path(dir_ / "work.qrp")});
  EXPECT_EQ(window->StatusText(), "Stron: 2");
  Press(*window, "sbNextPage");
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(window->StatusText(), "page 2: drawing stopped, the page asks for too much work");
  EXPECT_TRUE(errors_.empty());
}

TEST_F(KonsolaTest, CorpusReportsPageByPage) {
  const std::filesystem::path corpus = std::filesystem::path(PRAVEL_SOURCE_DIR) / ".." / "shared" / "corpus" / "qrp";
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(corpus, error))
    if (entry.path().extension() == ".qrp") files.push_back(entry.path());
  if (files.empty()) GTEST_SKIP() << "no corpus at " << corpus;
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    SCOPED_TRACE(file.filename().string());
    errors_.clear();
    const auto window = Start({Path(file)});
    const bool good = file.filename().string().starts_with("ok-");
    if (good) {
      EXPECT_FALSE(window->TerminateRequested());
    }
    if (window->TerminateRequested()) {
      messages_.clear();
      continue;
    }
    // A header may claim far more pages than the file holds.
    const int pages = std::min(window->FilePrinter()->PageCount(), 25);
    for (int page = 1; page <= pages; ++page) {
      if (good) {
        EXPECT_TRUE(window->QRPreview1().PageImage().ImageOK()) << page;
      }
      Press(*window, "sbNextPage");
    }
    Press(*window, "sbFirstPage");
    if (good) {
      EXPECT_TRUE(errors_.empty());
    }
  }
}

}  // namespace
}  // namespace pravel
