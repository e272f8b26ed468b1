#include "platform/qt/text_metrics.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <numeric>

namespace pravel::qt {
namespace {

void EnsureGuiApplication() {
  static int argc = 1;
  static char name[] = "text_metrics_test";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) static QGuiApplication app(argc, argv);
}

long double Width(const Font& font, std::string_view text) {
  const std::vector<long double> advances = TextAdvances(font, text);
  return std::accumulate(advances.begin(), advances.end(), 0.0L);
}

TEST(TextMetrics, ArialMeasuresWithTheWidthsOfItsStandIn) {
  EnsureGuiApplication();
  const Font arial{.Name = "Arial", .Size = 8};
  const long double em = 8 * 254.0L / 72;
  // P r a v e l in Arial's advance widths (units of 1/2048 em).
  const long double expected = (1366 + 682 + 1139 + 1024 + 1139 + 455) / 2048.0L * em;
  EXPECT_NEAR(static_cast<double>(Width(arial, "Pravel")), static_cast<double>(expected), 0.01 * expected);
  EXPECT_EQ(TextAdvances(arial, "żółw").size(), 4U);
  EXPECT_TRUE(TextAdvances(arial, "").empty());
  // Ascent and descent of Arial: 1854 + 434 units.
  EXPECT_NEAR(static_cast<double>(LineHeight(arial)), static_cast<double>(2288 / 2048.0L * em), 0.03 * em);

  // Sizes scale linearly; bold is wider.
  Font big = arial;
  big.Size = 26;
  EXPECT_NEAR(static_cast<double>(Width(big, "Pravel")), static_cast<double>(expected * 26 / 8), 0.01 * expected * 4);
  Font bold = big;
  bold.Style = kFontBold | kFontItalic;
  EXPECT_GT(Width(bold, "Pravel"), Width(big, "Pravel"));
}

}  // namespace
}  // namespace pravel::qt
