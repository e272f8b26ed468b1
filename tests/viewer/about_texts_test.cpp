#include "viewer/about_texts.h"

#include <gtest/gtest.h>

#include "platform/qt/qstring_printer.h"

namespace pravel {
namespace {

TEST(AboutTexts, SystemLineFromUnameRelease) {
  const auto line = [](const char* release) {
    return OperatingSystemLine(ParseSystemVersion("Linux", QString::fromLatin1(release)));
  };
  EXPECT_EQ(line("6.1.0-18-amd64"), "Linux 6.1 (Build 0)");
  EXPECT_EQ(line("5.15.133.1-microsoft-standard-WSL2"), "Linux 5.15 (Build 133)");
  EXPECT_EQ(line("4.19"), "Linux 4.19 (Build 0)");
  EXPECT_EQ(line("6.8-rc3.7"), "Linux 6.8 (Build 0)");  // numbers end at "-rc3"
  EXPECT_EQ(line(""), "Linux 0.0 (Build 0)");
  EXPECT_EQ(line("x.y.z"), "Linux 0.0 (Build 0)");
  EXPECT_EQ(line("99999999999.2.3"), "Linux 0.2 (Build 3)");  // too large for int
  EXPECT_EQ(line("3.10.70000"), "Linux 3.10 (Build 4464)");   // low 16 bits of the build
  EXPECT_EQ(line("\xd9\xa3.1"), "Linux 0.0 (Build 0)");       // only ASCII digits count
}

TEST(AboutTexts, MemoryInKilobytesWithTheLocaleSeparator) {
  EXPECT_EQ(FormatKilobytes(67'108'864, ","), "  65,536");
  EXPECT_EQ(FormatKilobytes(67'108'864, "."), "  65.536");
  EXPECT_EQ(FormatKilobytes(67'108'864, QStringLiteral("\u00a0")), "  65\u00a0536");
  EXPECT_EQ(FormatKilobytes(0, ","), "       0");
  EXPECT_EQ(FormatKilobytes(1023 * 1024 + 511, ","), "   1,023");  // rounds to nearest
  EXPECT_EQ(FormatKilobytes(1023 * 1024 + 512, ","), "   1,024");  // half away from zero
  EXPECT_EQ(FormatKilobytes(999 * 1024, ","), "     999");
  EXPECT_EQ(FormatKilobytes(17'179'869'184ULL, ","), "16,777,216");  // wider than 8
  EXPECT_EQ(MemoryLine(67'108'864, ","), "Pamięć dostępna dla systemu:   65,536 KB");
}

}  // namespace
}  // namespace pravel
