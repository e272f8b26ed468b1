#include "platform/print_dialog.h"

#include <gtest/gtest.h>

namespace pravel {
namespace {

TEST(DeviceNamesBlock, LayoutAndRoundTrip) {
  const DeviceNames names{"drv", "Office", "lpt", true};
  const Bytes block = MakeDeviceNamesBlock(names);
  ASSERT_EQ(block.size(), 3 + 6 + 3 + 11U);
  EXPECT_EQ(LoadU16(block, 0), 8);
  EXPECT_EQ(LoadU16(block, 2), 12);
  EXPECT_EQ(LoadU16(block, 4), 19);
  EXPECT_EQ(ReadDeviceNamesBlock(block), names);
}

TEST(DeviceNamesBlock, BadOffsetsAndMissingTerminatorsAreRefused) {
  Bytes block = MakeDeviceNamesBlock({"d", "Office", "p", false});
  EXPECT_FALSE(ReadDeviceNamesBlock(ByteSpan(block).first(7)));
  EXPECT_FALSE(ReadDeviceNamesBlock(ByteSpan(block).first(block.size() - 1)));
  Bytes into_header = block;
  StoreU32(into_header, 0, 2);  // driver offset inside the header
  EXPECT_FALSE(ReadDeviceNamesBlock(into_header));
  Bytes beyond = block;
  beyond[2] = 0xFF;
  EXPECT_FALSE(ReadDeviceNamesBlock(beyond));
}

}  // namespace
}  // namespace pravel
