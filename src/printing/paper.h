#pragma once
// Paper sizes, paper bins and orientation, with their device-mode codes.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pravel {

enum class TQRPaperSize : std::uint8_t {
  Default,
  Letter,
  LetterSmall,
  Tabloid,
  Ledger,
  Legal,
  Statement,
  Executive,
  A3,
  A4,
  A4Small,
  A5,
  B4,
  B5,
  Folio,
  Quarto,
  qr10X14,
  qr11X17,
  Note,
  Env9,
  Env10,
  Env11,
  Env12,
  Env14,
  CSheet,
  DSheet,
  ESheet,
  Custom,
};

enum class TQRBin : std::uint8_t {
  First,
  Upper,
  Lower,
  Middle,
  Manual,
  Envelope,
  EnvManual,
  Auto,
  Tractor,
  SmallFormat,
  LargeFormat,
  LargeCapacity,
  Cassette,
  Last,
};

enum class TPrinterOrientation : std::uint8_t { poPortrait, poLandscape };

struct PaperSizeInfo {
  TQRPaperSize Size;
  std::string_view Name;
  std::int16_t DeviceCode;  // DMPAPER
  long double Width;        // mm, portrait; 0 for Default and Custom
  long double Length;       // mm
  std::string_view DisplayName;
};

struct BinInfo {
  TQRBin Bin;
  std::string_view Name;
  std::int16_t DeviceCode;  // DMBIN
};

inline constexpr std::size_t kPaperSizeCount = 28;
inline constexpr std::size_t kBinCount = 14;

// Both tables in value order.
extern const std::array<PaperSizeInfo, kPaperSizeCount> kPaperSizes;
extern const std::array<BinInfo, kBinCount> kBins;

// The table row of a size or bin; values outside the enumeration give the
// first row.
const PaperSizeInfo& PaperSizeInfoOf(TQRPaperSize size) noexcept;
const BinInfo& BinInfoOf(TQRBin bin) noexcept;

// The first size from Letter on whose device code is `code`.
std::optional<TQRPaperSize> PaperSizeFromCode(int code) noexcept;
// The first bin in table order whose device code is `code` (1 is First,
// 14 is Cassette).
std::optional<TQRBin> BinFromCode(int code) noexcept;

}  // namespace pravel
