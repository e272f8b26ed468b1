#include "preview/error_handler.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "platform/errors.h"
#include "platform/platform.h"
#include "platform/qt/qstring_printer.h"

namespace pravel {
namespace {

TEST(ApplicationErrorHandler, GuardedCommandsHandTheirErrorsOn) {
  std::vector<QString> shown;
  Platform platform;
  platform.ShowError = [&](const std::string& message) { shown.push_back(QString::fromStdString(message)); };

  bool after = false;
  Guarded([] { throw EStreamReadError(); });
  Guarded([] { throw std::runtime_error("Zażółć"); });
  Guarded([] { throw 42; });
  Guarded([&] { after = true; });
  EXPECT_TRUE(after);
  ASSERT_EQ(shown.size(), 3U);
  EXPECT_EQ(shown[0], "Stream read error");
  EXPECT_EQ(shown[1], QStringLiteral("Zażółć"));
  EXPECT_EQ(shown[2], "Unknown error");

  // A handler that fails itself does not take the program down.
  platform.ShowError = [](const std::string&) { throw std::runtime_error("again"); };
  EXPECT_NO_THROW(Guarded([] { throw std::runtime_error("first"); }));
  platform.ShowError = {};
  EXPECT_NO_THROW(Guarded([] { throw std::runtime_error("to the log"); }));
}

}  // namespace
}  // namespace pravel
