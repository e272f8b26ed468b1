#ifdef PRAVEL_HAVE_QT

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <filesystem>
#include <regex>

#include "cli/command_outcome.h"
#include "cli/commands.h"
#include "platform/gdi/emf_builder.h"
#include "report/qr_page_list.h"
#include "support/cups_pdf.h"

namespace pravel::cli {
namespace {

class ThumbnailCommand : public ::testing::Test {
 protected:
  std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }

  // One page of `frame` (0.01 mm) with a filled ellipse over all of it.
  std::string WriteReport(const char* name, gdi::RectL frame) const {
    TQRPageList pages;
    pages.SetStream(std::make_shared<TQRStream>(100000));
    gdi::test::EmfBuilder emf(frame);
    emf.Add(gdi::Emr::SelectObject, {static_cast<std::int32_t>(0x80000004u)});
    emf.Add(gdi::Emr::Ellipse, {0, 0, frame.right / 10, frame.bottom / 10});
    pages.AddPage(emf.Make());
    pages.Finish();
    pages.SaveFile(Path(name));
    return Path(name);
  }

  QTemporaryDir dir_;
};

TEST_F(ThumbnailCommand, FitsPageOneIntoTheSquareSmoothed) {
  const std::string wide = WriteReport("wide.qrp", {0, 0, 10000, 5000});
  ASSERT_EQ(Call(RunThumbnail, {wide, Path("w.png")}).status, kExitOk);
  const QImage w(QString::fromStdString(Path("w.png")));
  EXPECT_EQ(w.size(), QSize(128, 64));
  int grey = 0;
  for (int x = 0; x < w.width(); ++x) {
    const int level = qGray(w.pixel(x, 8));
    grey += level > 30 && level < 225;
  }
  EXPECT_GT(grey, 0) << "the ellipse's edge is not smoothed";

  const std::string tall = WriteReport("tall.qrp", {0, 0, 2100, 2970});
  ASSERT_EQ(Call(RunThumbnail, {"-s", "256", tall, Path("t.png")}).status, kExitOk);
  EXPECT_EQ(QImage(QString::fromStdString(Path("t.png"))).size(), QSize(181, 256));
  EXPECT_EQ(Call(RunThumbnail, {"--size", "0", tall, Path("z.png")}).status, kExitUsage);
  EXPECT_EQ(Call(RunThumbnail, {tall}).status, kExitUsage);
}

TEST_F(ThumbnailCommand, UnreadableFilesLeaveNoOutput) {
  QFile short_file(QString::fromStdString(Path("short.qrp")));
  ASSERT_TRUE(short_file.open(QIODevice::WriteOnly));
  short_file.write(QByteArray(20, '\0'));
  short_file.close();
  // A page that asks for too much work: 600 000 glyphs in one run.
  TQRPageList pages;
  pages.SetStream(std::make_shared<TQRStream>(100000));
  gdi::test::EmfBuilder emf({0, 0, 10000, 5000});
  emf.AddRaw(gdi::Emr::ExtTextOutW, gdi::test::TextBody(0, 0, std::u16string(600000, u'x'), {}));
  pages.AddPage(emf.Make());
  pages.Finish();
  pages.SaveFile(Path("work.qrp"));
  std::vector<std::string> inputs = {Path("missing.qrp"), Path("short.qrp"), Path("work.qrp")};
  const std::string hostile = PRAVEL_SOURCE_DIR "/../shared/corpus/qrp/bad-compressed-size-huge.qrp";
  if (std::filesystem::exists(hostile)) inputs.push_back(hostile);
  for (const std::string& input : inputs) {
    const Outcome run = Call(RunThumbnail, {input, Path("out.png")});
    EXPECT_EQ(run.status, kExitBadFile) << input;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
  EXPECT_EQ(QDir(dir_.path()).entryList({"*.png"}, QDir::Files), QStringList());
}

// As a process: only qrptool's own lines on standard error, even without a
// desktop session, and the version from --version.
TEST_F(ThumbnailCommand, ProcessWritesNoToolkitWarnings) {
  const std::string report = WriteReport("r.qrp", {0, 0, 10000, 5000});
  const std::string qrptool = test::Quoted(PRAVEL_BINARY_DIR "/src/cli/qrptool");
  const test::ShellRun run = test::Shell("env -u XDG_RUNTIME_DIR -u DISPLAY -u QT_QPA_PLATFORM " + qrptool +
                                         " thumbnail " + test::Quoted(report) + " " + test::Quoted(Path("p.png")));
  EXPECT_EQ(run.status, kExitOk);
  EXPECT_EQ(run.output, "");
  const test::ShellRun version = test::Shell(qrptool + " --version");
  EXPECT_TRUE(std::regex_match(version.output, std::regex("qrptool [0-9]+\\.[0-9]+\n"))) << version.output;
}

}  // namespace
}  // namespace pravel::cli

#endif  // PRAVEL_HAVE_QT
