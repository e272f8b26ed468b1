#include "viewer/spin_holder.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/qt/qstring_printer.h"

namespace pravel {
namespace {

TEST(SpinHolder, ClampsOnlyBetweenDifferentBounds) {
  SpinHolder page(1, 12, 1);
  std::vector<QString> changes;
  page.OnChange = [&] { changes.push_back(page.Text()); };
  page.SetValue(13);
  page.SetValue(0);
  page.SetValue(7);
  EXPECT_EQ(changes, (std::vector<QString>{"12", "1", "7"}));

  // Equal bounds store anything.
  SpinHolder zoom(0, 0, 0);
  zoom.SetValue(2000);
  EXPECT_EQ(zoom.Text(), "2000");
  zoom.SetValue(-3);
  EXPECT_EQ(zoom.Value(), -3);

  // Bounds 1..0 (a report without pages): the lower bound is tested first.
  SpinHolder none(1, 0, 1);
  none.SetValue(1);
  EXPECT_EQ(none.Text(), "0");
  none.SetValue(0);
  EXPECT_EQ(none.Text(), "1");
}

TEST(SpinHolder, ChangesOnlyWhenTheTextChanges) {
  SpinHolder holder(1, 5, 3);
  int changes = 0;
  holder.OnChange = [&] { ++changes; };
  holder.SetValue(3);
  holder.SetValue(9);
  holder.SetValue(5);  // clamped to the text it already has
  EXPECT_EQ(changes, 1);
  // Moving the bounds does not touch the text.
  holder.SetMaxValue(2);
  EXPECT_EQ(holder.Text(), "5");
  EXPECT_EQ(holder.Value(), 5);
  EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace pravel
