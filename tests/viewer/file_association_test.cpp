#include "viewer/file_association.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <map>

#include "platform/errors.h"
#include "platform/qt/test_home.h"
#include "test_application.h"

namespace pravel {
namespace {

QString ReadText(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

void WriteText(const QString& path, const QString& text) {
  ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text.toUtf8());
}

// Every file under the folder with its modification time and content.
std::map<QString, std::pair<qint64, QString>> Snapshot(const QString& folder) {
  std::map<QString, std::pair<qint64, QString>> files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    files[path] = {QFileInfo(path).lastModified().toMSecsSinceEpoch(), ReadText(path)};
  }
  return files;
}

class FileAssociationTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureApplication(); }

  QString DesktopExec() const {
    const QString entry = ReadText(home_.DataHome() + "/applications/pravel.desktop");
    for (const QString& line : entry.split('\n')) {
      if (line.startsWith("Exec=")) return line.mid(5);
    }
    return {};
  }

  qt::TestHome home_;
  const QString exe_ = QStringLiteral("/opt/pravel/bin/pravel");
};

TEST_F(FileAssociationTest, FirstStartRegistersAndSecondWritesNothing) {
  EXPECT_EQ(ReadAssociation(home_.Dirs()), QString());
  EXPECT_TRUE(CheckAssociation(home_.Dirs(), exe_));
  EXPECT_EQ(DesktopExec(), "/opt/pravel/bin/pravel %f");
  EXPECT_EQ(ReadAssociation(home_.Dirs()), "/opt/pravel/bin/pravel %f");
  EXPECT_TRUE(ReadText(home_.ConfigHome() + "/mimeapps.list")
                  .contains("[Default Applications]\napplication/x-qrp=pravel.desktop;\n"));
  EXPECT_TRUE(
      ReadText(home_.DataHome() + "/mime/packages/pravel.xml").contains("<mime-type type=\"application/x-qrp\">"));

  const auto before = Snapshot(home_.Path());
  EXPECT_FALSE(CheckAssociation(home_.Dirs(), exe_));
  EXPECT_EQ(Snapshot(home_.Path()), before);
}

TEST_F(FileAssociationTest, AnotherPathOrSpellingRegistersAgain) {
  ASSERT_TRUE(CheckAssociation(home_.Dirs(), exe_));
  EXPECT_TRUE(CheckAssociation(home_.Dirs(), "/usr/local/bin/pravel"));  // moved
  EXPECT_EQ(DesktopExec(), "/usr/local/bin/pravel %f");
  EXPECT_TRUE(CheckAssociation(home_.Dirs(), "/usr/local/bin/Pravel"));  // letter case
  EXPECT_EQ(DesktopExec(), "/usr/local/bin/Pravel %f");
  EXPECT_FALSE(CheckAssociation(home_.Dirs(), "/usr/local/bin/Pravel"));
}

TEST_F(FileAssociationTest, PathNeedingQuotesStaysRegistered) {
  const QString exe = QStringLiteral("/opt/My Programs/pravel");
  EXPECT_TRUE(CheckAssociation(home_.Dirs(), exe));
  EXPECT_EQ(DesktopExec(), "\"/opt/My Programs/pravel\" %f");
  EXPECT_FALSE(CheckAssociation(home_.Dirs(), exe));
}

TEST_F(FileAssociationTest, AnotherProgramsCommandIsReplaced) {
  ASSERT_TRUE(CheckAssociation(home_.Dirs(), exe_));
  // Another program takes the type, its command quoted; even one that names
  // this executable is not the form this program writes.
  WriteText(home_.DataHome() + "/applications/other.desktop",
            "[Desktop Entry]\nType=Application\nName=Other\nExec=\"/usr/bin/other\" \"%f\"\n");
  for (const char* list : {"application/x-qrp=other.desktop;", "application/x-qrp=missing.desktop;"}) {
    WriteText(home_.ConfigHome() + "/mimeapps.list",
              QStringLiteral("[Default Applications]\ntext/plain=other.desktop;\n") + list + "\n");
    EXPECT_TRUE(CheckAssociation(home_.Dirs(), exe_)) << list;
    EXPECT_EQ(ReadText(home_.ConfigHome() + "/mimeapps.list"),
              "[Default Applications]\ntext/plain=other.desktop;\n"
              "application/x-qrp=pravel.desktop;\n");
  }
  WriteText(home_.DataHome() + "/applications/pravel.desktop",
            "[Desktop Entry]\nExec=\"/opt/pravel/bin/pravel\" \"%f\"\n");
  EXPECT_TRUE(CheckAssociation(home_.Dirs(), exe_));
  EXPECT_EQ(DesktopExec(), "/opt/pravel/bin/pravel %f");
}

TEST_F(FileAssociationTest, InstalledSystemRegistrationIsLeftInPlace) {
  const QString system = home_.Path() + "/system";
  const QString exe = home_.Path() + "/bin/pravel";
  WriteText(exe, "#!/bin/sh\n");
  ASSERT_TRUE(QFile::setPermissions(exe, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  WriteText(system + "/mime/packages/pravel.xml",
            "<?xml version=\"1.0\"?>\n<mime-info xmlns=\"http://www.freedesktop.org/standards/"
            "shared-mime-info\">\n<mime-type type=\"application/x-qrp\"><glob pattern=\"*.qrp\"/>"
            "</mime-type>\n</mime-info>\n");
  qt::XdgDirs dirs = home_.Dirs();
  dirs.data_dirs = {system};
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", QFile::encodeName(home_.Path() + "/bin"));
  struct RestorePath {
    QByteArray value;
    ~RestorePath() { qputenv("PATH", value); }
  } restore{path};

  // Named on PATH or by its path, the installed entry starts this program.
  for (const QString& exec : {QStringLiteral("pravel %F"), "\"" + exe + "\" %f"}) {
    WriteText(system + "/applications/pravel.desktop",
              "[Desktop Entry]\nType=Application\nName=Pravel\nExec=" + exec + "\n");
    EXPECT_FALSE(CheckAssociation(dirs, exe)) << exec.toStdString();
  }
  EXPECT_FALSE(QFileInfo::exists(home_.DataHome()));
  EXPECT_FALSE(QFileInfo::exists(home_.ConfigHome()));
  EXPECT_TRUE(CheckAssociation(dirs, "/opt/pravel/bin/pravel"));  // another executable

  // The user's own entry shadows the installed one, or the user chose
  // another program: this one registers in the user's folders.
  EXPECT_TRUE(CheckAssociation(dirs, exe));
  EXPECT_FALSE(CheckAssociation(dirs, exe));
  QFile::remove(home_.DataHome() + "/applications/pravel.desktop");
  WriteText(system + "/applications/other.desktop", "[Desktop Entry]\nExec=other %f\n");
  WriteText(home_.ConfigHome() + "/mimeapps.list", "[Default Applications]\napplication/x-qrp=other.desktop;\n");
  EXPECT_TRUE(CheckAssociation(dirs, exe));
}

TEST_F(FileAssociationTest, UnwritableRegistrationRaisesAnError) {
  WriteText(home_.DataHome() + "/applications", "a file, not a folder");
  EXPECT_THROW(CheckAssociation(home_.Dirs(), exe_), EFileCreateError);
}

TEST_F(FileAssociationTest, RunningProgramUsesTheEnvironmentsFolders) {
  EXPECT_TRUE(CheckAssociation());
  EXPECT_EQ(ReadAssociation(qt::CurrentXdgDirs()), qt::ExecArgument(QCoreApplication::applicationFilePath()) + " %f");
  EXPECT_TRUE(QFileInfo::exists(home_.DataHome() + "/applications/pravel.desktop"));
  EXPECT_FALSE(CheckAssociation());
}

}  // namespace
}  // namespace pravel
