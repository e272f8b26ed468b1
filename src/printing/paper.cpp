#include "printing/paper.h"

namespace pravel {

using P = TQRPaperSize;

// The display names are kept as stored, "Executive7" and the "\276" of the
// two envelope names included.
const std::array<PaperSizeInfo, kPaperSizeCount> kPaperSizes{{
    {P::Default, "Default", 0, 0.0L, 0.0L, "Default size"},
    {P::Letter, "Letter", 1, 215.9L, 279.4L, "Letter 8 1/2 x 11 in"},
    {P::LetterSmall, "LetterSmall", 2, 215.9L, 279.4L, "Letter Small 8 1/2 x 11 in"},
    {P::Tabloid, "Tabloid", 3, 279.4L, 431.8L, "Tabloid 11 x 17 in"},
    {P::Ledger, "Ledger", 4, 431.8L, 279.4L, "Ledger 17 x 11 in"},
    {P::Legal, "Legal", 5, 215.9L, 355.6L, "Legal 8 1/2 x 14 in"},
    {P::Statement, "Statement", 6, 139.7L, 215.9L, "Statement 5 1/2 x 8 1/2 in"},
    {P::Executive, "Executive", 7, 190.5L, 254.0L, "Executive7 1/2 x 10 in"},
    {P::A3, "A3", 8, 297.0L, 420.0L, "A3 297 x 420 mm"},
    {P::A4, "A4", 9, 210.0L, 297.0L, "A4 210 x 297 mm"},
    {P::A4Small, "A4Small", 10, 210.0L, 297.0L, "A4 Small 210 x 297 mm"},
    {P::A5, "A5", 11, 148.0L, 210.0L, "A5 148 x 210 mm"},
    {P::B4, "B4", 12, 250.0L, 354.0L, "B4 250 x 354 mm"},
    {P::B5, "B5", 13, 182.0L, 257.0L, "B5 182 x 257 mm"},
    {P::Folio, "Folio", 14, 215.9L, 330.2L, "Folio 8 1/2 x 13 in"},
    {P::Quarto, "Quarto", 15, 215.0L, 275.0L, "Quarto 215 x 275 mm"},
    {P::qr10X14, "qr10X14", 16, 254.0L, 355.6L, "10x14 in"},
    {P::qr11X17, "qr11X17", 17, 279.4L, 431.8L, "11x17 in"},
    {P::Note, "Note", 18, 215.9L, 279.0L, "Note 8 1/2 x 11 in"},
    {P::Env9, "Env9", 19, 98.43L, 225.4L, "Envelope #9 3 7/8 x 8 7/8"},
    {P::Env10, "Env10", 20, 104.8L, 241.3L, "Envelope #10 4 1/8 x 9 1/2"},
    {P::Env11, "Env11", 21, 114.3L, 263.5L, "Envelope #11 4 1/2 x 10 3/8"},
    {P::Env12, "Env12", 22, 101.6L, 279.4L, "Envelope #12 4 \\276 x 11"},
    {P::Env14, "Env14", 23, 127.0L, 292.1L, "Envelope #14 4 \\276 x 11"},
    {P::CSheet, "CSheet", 24, 100.0L, 100.0L, "C size sheet"},
    {P::DSheet, "DSheet", 25, 100.0L, 100.0L, "D size sheet"},
    {P::ESheet, "ESheet", 26, 100.0L, 100.0L, "E size sheet"},
    {P::Custom, "Custom", 256, 0.0L, 0.0L, "Custom Size"},
}};

using B = TQRBin;

const std::array<BinInfo, kBinCount> kBins{{
    {B::First, "First", 1},
    {B::Upper, "Upper", 1},
    {B::Lower, "Lower", 2},
    {B::Middle, "Middle", 3},
    {B::Manual, "Manual", 4},
    {B::Envelope, "Envelope", 5},
    {B::EnvManual, "EnvManual", 6},
    {B::Auto, "Auto", 7},
    {B::Tractor, "Tractor", 8},
    {B::SmallFormat, "SmallFormat", 9},
    {B::LargeFormat, "LargeFormat", 10},
    {B::LargeCapacity, "LargeCapacity", 11},
    {B::Cassette, "Cassette", 14},
    {B::Last, "Last", 14},
}};

const PaperSizeInfo& PaperSizeInfoOf(TQRPaperSize size) noexcept {
  const auto i = static_cast<std::size_t>(size);
  return i < kPaperSizes.size() ? kPaperSizes[i] : kPaperSizes[0];
}

const BinInfo& BinInfoOf(TQRBin bin) noexcept {
  const auto i = static_cast<std::size_t>(bin);
  return i < kBins.size() ? kBins[i] : kBins[0];
}

std::optional<TQRPaperSize> PaperSizeFromCode(int code) noexcept {
  for (std::size_t i = 1; i < kPaperSizes.size(); ++i) {
    if (kPaperSizes[i].DeviceCode == code) return kPaperSizes[i].Size;
  }
  return std::nullopt;
}

std::optional<TQRBin> BinFromCode(int code) noexcept {
  for (const auto& b : kBins) {
    if (b.DeviceCode == code) return b.Bin;
  }
  return std::nullopt;
}

}  // namespace pravel
