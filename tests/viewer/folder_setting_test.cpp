#include "viewer/folder_setting.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>

#include "platform/qt/test_home.h"
#include "test_application.h"

namespace pravel {
namespace {

TEST(FolderSetting, DefaultsToTheExecutablesFolder) {
  EnsureApplication();
  const qt::TestHome home;
  EXPECT_EQ(ReadFolder(), QCoreApplication::applicationDirPath() + "/");
  EXPECT_TRUE(ReadFolder().endsWith('/'));
}

TEST(FolderSetting, StoredWithoutTrailingSeparatorAndReadBack) {
  EnsureApplication();
  const qt::TestHome home;
  WriteFolder(QStringLiteral("/srv/raporty/"));
  EXPECT_EQ(ReadFolder(), "/srv/raporty");
  WriteFolder(QStringLiteral("/srv/zażółć gęślą"));
  EXPECT_EQ(ReadFolder(), "/srv/zażółć gęślą");
  WriteFolder(QStringLiteral("/"));
  EXPECT_EQ(ReadFolder(), "/");

  QFile file(home.ConfigHome() + "/Brask/Pravel.conf");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "[Directory]\nPath=/\n");
}

}  // namespace
}  // namespace pravel
