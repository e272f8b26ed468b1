#include "platform/qt/xdg_registration.h"

#include <gtest/gtest.h>

#include <QFile>

#include "platform/errors.h"
#include "platform/qt/test_home.h"

namespace pravel::qt {
namespace {

QString ReadText(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return QString::fromUtf8(file.readAll());
}

void WriteText(const QString& path, const QString& text) {
  ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text.toUtf8());
}

FileTypeRegistration SampleType(const QString& exec) {
  return {.mime_type = QStringLiteral("application/x-sample"),
          .glob = QStringLiteral("*.smp"),
          .comment = QStringLiteral("sample & test"),
          .package = QStringLiteral("sample.xml"),
          .desktop_id = QStringLiteral("sample.desktop"),
          .name = QStringLiteral("Sample"),
          .exec = exec};
}

TEST(ExecArgument, QuotesOnlyWhatTheFormatReserves) {
  EXPECT_EQ(ExecArgument(QStringLiteral("/opt/pravel/bin/pravel")), "/opt/pravel/bin/pravel");
  EXPECT_EQ(ExecArgument(QStringLiteral("/opt/My Apps/pravel")), "\"/opt/My Apps/pravel\"");
  EXPECT_EQ(ExecArgument(QStringLiteral("/a\"b$c`d\\e")), "\"/a\\\"b\\$c\\`d\\\\e\"");
  EXPECT_EQ(ExecArgument(QStringLiteral("/opt/100%/pravel")), "/opt/100%%/pravel");
  EXPECT_EQ(ExecArgument(QString()), "\"\"");
}

TEST(FileTypeRegistration, WrittenCommandReadsBackUnchanged) {
  const TestHome home;
  // Backslashes, tabs and newlines go through the file's own escapes.
  for (const QString& exec : {QStringLiteral("/opt/pravel/pravel %f"), QStringLiteral("\"/opt/a b/p\\\\x\" %f"),
                              QStringLiteral("\"/opt/tab\there/new\nline\" %f")}) {
    WriteFileTypeRegistration(home.Dirs(), SampleType(exec));
    EXPECT_EQ(ReadDefaultCommand(home.Dirs(), SampleType(QString())), exec);
  }
  const QString desktop = ReadText(home.DataHome() + "/applications/sample.desktop");
  EXPECT_TRUE(desktop.startsWith("[Desktop Entry]\n"));
  EXPECT_TRUE(desktop.contains("\nMimeType=application/x-sample;\n"));
  const QString package = ReadText(home.DataHome() + "/mime/packages/sample.xml");
  EXPECT_TRUE(package.contains("<glob pattern=\"*.smp\"/>"));
  EXPECT_TRUE(package.contains("<comment>sample &amp; test</comment>"));
}

TEST(FileTypeRegistration, MimeappsListKeepsEverythingElse) {
  const TestHome home;
  const QString list = home.ConfigHome() + "/mimeapps.list";
  const QString before = QStringLiteral(
      "# kept comment\n"
      "[Added Associations]\n"
      "application/x-sample=other.desktop;\n"
      "\n"
      "[Default Applications]\n"
      "text/plain=editor.desktop;\n"
      "application/x-sample=other.desktop;viewer.desktop;\n"
      "image/png=images.desktop;\n");
  WriteText(list, before);
  WriteFileTypeRegistration(home.Dirs(), SampleType("/bin/sample %f"));
  QString expected = before;
  expected.replace("application/x-sample=other.desktop;viewer.desktop;", "application/x-sample=sample.desktop;");
  EXPECT_EQ(ReadText(list), expected);

  // A list without the section gets one at the end; a missing one is created.
  WriteText(list, "[Added Associations]\ntext/plain=editor.desktop;\n");
  WriteFileTypeRegistration(home.Dirs(), SampleType("/bin/sample %f"));
  EXPECT_EQ(ReadText(list),
            "[Added Associations]\ntext/plain=editor.desktop;\n\n"
            "[Default Applications]\napplication/x-sample=sample.desktop;\n");
  QFile::remove(list);
  WriteFileTypeRegistration(home.Dirs(), SampleType("/bin/sample %f"));
  EXPECT_EQ(ReadText(list), "[Default Applications]\napplication/x-sample=sample.desktop;\n");
}

TEST(FileTypeRegistration, ReadingFindsNothingWhenAPartIsMissing) {
  const TestHome home;
  const FileTypeRegistration type = SampleType("/bin/sample %f");
  EXPECT_EQ(ReadDefaultCommand(home.Dirs(), type), QString());
  WriteFileTypeRegistration(home.Dirs(), type);
  ASSERT_EQ(ReadDefaultCommand(home.Dirs(), type), "/bin/sample %f");

  FileTypeRegistration other_glob = type;
  other_glob.glob = QStringLiteral("*.other");
  EXPECT_EQ(ReadDefaultCommand(home.Dirs(), other_glob), QString());

  QFile::remove(home.DataHome() + "/applications/sample.desktop");
  EXPECT_EQ(ReadDefaultCommand(home.Dirs(), type), QString());
}

TEST(FileTypeRegistration, DefaultIsTheFirstInstalledEntryOfTheList) {
  const TestHome home;
  const FileTypeRegistration type = SampleType("/bin/sample %f");
  WriteFileTypeRegistration(home.Dirs(), type);
  WriteText(home.ConfigHome() + "/mimeapps.list",
            "[Default Applications]\napplication/x-sample=gone.desktop;system.desktop;\n");
  XdgDirs dirs = home.Dirs();
  dirs.data_dirs = {home.Path() + "/system"};
  WriteText(home.Path() + "/system/applications/system.desktop",
            "[Desktop Entry]\nName=Other\n[Desktop Action x]\nExec=/bin/wrong\n");
  EXPECT_EQ(ReadDefaultCommand(dirs, type), QString());
  WriteText(home.Path() + "/system/applications/system.desktop",
            "[Desktop Entry]\nName=Other\nExec = \"/usr/bin/other app\" \"%f\"\r\n");
  EXPECT_EQ(ReadDefaultCommand(dirs, type), "\"/usr/bin/other app\" \"%f\"");
}

TEST(FileTypeRegistration, UnwritableFolderRaisesCreateError) {
  const TestHome home;
  // A plain file where a folder should be stops even a privileged user.
  WriteText(home.DataHome(), "not a folder");
  EXPECT_THROW(WriteFileTypeRegistration(home.Dirs(), SampleType("/bin/sample %f")), EFileCreateError);

  const TestHome second;
  WriteText(second.ConfigHome(), "not a folder");
  try {
    WriteFileTypeRegistration(second.Dirs(), SampleType("/bin/sample %f"));
    FAIL() << "no error raised";
  } catch (const EFileCreateError& error) {
    EXPECT_TRUE(QString::fromUtf8(error.what()).contains(second.ConfigHome()));
  }
}

}  // namespace
}  // namespace pravel::qt
