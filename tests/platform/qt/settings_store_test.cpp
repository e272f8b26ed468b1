#include "platform/qt/settings_store.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/qt/test_home.h"

namespace pravel::qt {
namespace {

SettingsValue TestValue() {
  return {.organisation = QStringLiteral("Org"),
          .application = QStringLiteral("App"),
          .group = QStringLiteral("Group"),
          .key = QStringLiteral("Key")};
}

TEST(SettingsStore, ValueRoundTripsThroughTheFile) {
  const TestHome home;
  EXPECT_EQ(ReadSetting(TestValue()), std::nullopt);
  WriteSetting(TestValue(), QStringLiteral("/home/ąę/raporty"));
  EXPECT_EQ(ReadSetting(TestValue()), QStringLiteral("/home/ąę/raporty"));
  WriteSetting(TestValue(), QString());
  EXPECT_EQ(ReadSetting(TestValue()), QString());

  QFile file(home.ConfigHome() + "/Org/App.conf");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("[Group]"));
}

TEST(SettingsStore, UnwritableFileRaisesCreateError) {
  const TestHome home;
  ASSERT_TRUE(QDir().mkpath(home.ConfigHome()));
  QFile blocker(home.ConfigHome() + "/Org");
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  EXPECT_THROW(WriteSetting(TestValue(), QStringLiteral("x")), EFileCreateError);
}

}  // namespace
}  // namespace pravel::qt
