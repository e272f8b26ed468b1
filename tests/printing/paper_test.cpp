#include "printing/paper.h"

#include <gtest/gtest.h>

namespace pravel {
namespace {

TEST(PaperTables, RowsFollowTheEnumeration) {
  for (std::size_t i = 0; i < kPaperSizes.size(); ++i) {
    EXPECT_EQ(static_cast<std::size_t>(kPaperSizes[i].Size), i) << kPaperSizes[i].Name;
  }
  for (std::size_t i = 0; i < kBins.size(); ++i) {
    EXPECT_EQ(static_cast<std::size_t>(kBins[i].Bin), i) << kBins[i].Name;
  }
  EXPECT_EQ(PaperSizeInfoOf(TQRPaperSize::Custom).DeviceCode, 256);
  EXPECT_EQ(PaperSizeInfoOf(TQRPaperSize::ESheet).DeviceCode, 26);
  EXPECT_EQ(BinInfoOf(TQRBin::Cassette).DeviceCode, 14);
  EXPECT_EQ(BinInfoOf(TQRBin::Last).DeviceCode, 14);
}

TEST(PaperTables, DisplayNamesAsStored) {
  EXPECT_EQ(PaperSizeInfoOf(TQRPaperSize::Executive).DisplayName, "Executive7 1/2 x 10 in");
  EXPECT_EQ(PaperSizeInfoOf(TQRPaperSize::Env12).DisplayName, "Envelope #12 4 \\276 x 11");
  EXPECT_EQ(PaperSizeInfoOf(TQRPaperSize::Env14).DisplayName, "Envelope #14 4 \\276 x 11");
}

TEST(PaperTables, CodesFindTheFirstMatchingRow) {
  EXPECT_EQ(PaperSizeFromCode(9), TQRPaperSize::A4);
  EXPECT_EQ(PaperSizeFromCode(256), TQRPaperSize::Custom);
  EXPECT_EQ(PaperSizeFromCode(119), std::nullopt);
  EXPECT_EQ(PaperSizeFromCode(0), std::nullopt);  // Default is never matched by code
  EXPECT_EQ(BinFromCode(1), TQRBin::First);
  EXPECT_EQ(BinFromCode(14), TQRBin::Cassette);
  EXPECT_EQ(BinFromCode(7), TQRBin::Auto);
  EXPECT_EQ(BinFromCode(15), std::nullopt);
  EXPECT_EQ(BinFromCode(0x101), std::nullopt);
}

}  // namespace
}  // namespace pravel
