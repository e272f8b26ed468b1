#include "cli/companion_path.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "report/test_files.h"

namespace pravel::cli {
namespace {

namespace fs = std::filesystem;

TEST(CompanionPath, BesideItselfFirstThenTheLibexecFolder) {
  const test::TempDir dir;
  fs::create_directories(dir / "bin");
  const std::string self = (dir / "bin/qrptool").string();
  const std::string beside = (dir / "bin/qrptool-print").string();
  const std::string installed = (dir / "bin/../libexec/pravel/qrptool-print").string();

  EXPECT_EQ(CompanionPath(self, "qrptool-print", "../libexec/pravel"), installed);
  test::WriteFileBytes(beside, {});  // there but not executable
  EXPECT_EQ(CompanionPath(self, "qrptool-print", "../libexec/pravel"), installed);
  fs::permissions(beside, fs::perms::owner_all);
  EXPECT_EQ(CompanionPath(self, "qrptool-print", "../libexec/pravel"), beside);
  EXPECT_EQ(CompanionPath("qrptool", "qrptool-print", "../libexec/pravel"), "qrptool-print");
}

}  // namespace
}  // namespace pravel::cli
