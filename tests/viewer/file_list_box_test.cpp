#include "viewer/file_list_box.h"

#include <gtest/gtest.h>

#include <QDir>
#include <filesystem>
#include <fstream>

#include "platform/qt/qstring_printer.h"
#include "report/test_files.h"
#include "test_application.h"

namespace pravel {
namespace {

QStringList Entries(const QListWidget& list) {
  QStringList names;
  for (int i = 0; i < list.count(); ++i) names << list.item(i)->text();
  return names;
}

TEST(FileListBox, ListsTheReportsOfOneFolder) {
  EnsureApplication();
  const test::TempDir dir;
  for (const char* name : {"b.qrp", "A.QRP", "c.txt", "qrp"}) std::ofstream(dir / name) << "x";
  std::filesystem::create_directory(dir / "d.qrp");
  const QString folder = QString::fromStdString(dir.Path().string());

  TFileListBox list;
  list.SetDirectory(folder + "/");
  EXPECT_EQ(list.Directory(), folder);
  EXPECT_EQ(Entries(list), (QStringList{"A.QRP", "b.qrp"}));
  EXPECT_EQ(list.FileName(), "");
  list.setCurrentRow(1);
  EXPECT_EQ(list.FileName(), folder + "/b.qrp");

  // A new file shows when the folder is set again.
  std::ofstream(dir / "a2.qrp") << "x";
  list.SetDirectory(folder);
  EXPECT_EQ(Entries(list), (QStringList{"A.QRP", "a2.qrp", "b.qrp"}));

  list.SetDirectory(folder + "/missing");
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.Directory(), folder + "/missing");
  list.SetDirectory(QString());
  EXPECT_EQ(list.Directory(), QDir::currentPath());
}

TEST(FileListBox, FolderPartKeepsTheLastSeparator) {
  EXPECT_EQ(FolderPart("/home/a/r.qrp"), "/home/a/");
  EXPECT_EQ(FolderPart("sub/r.qrp"), "sub/");
  EXPECT_EQ(FolderPart("/r.qrp"), "/");
  EXPECT_EQ(FolderPart("r.qrp"), "");
}

}  // namespace
}  // namespace pravel
