#include "platform/print_dialog.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "platform/errors.h"
#include "platform/platform.h"

namespace pravel {

namespace {

constexpr std::size_t kHeaderSize = 8;

// The zero-terminated name at `offset`, or none.
std::optional<std::string> NameAt(ByteSpan block, std::size_t offset) {
  if (offset < kHeaderSize || offset >= block.size()) return std::nullopt;
  const auto begin = block.begin() + static_cast<std::ptrdiff_t>(offset);
  const auto end = std::find(begin, block.end(), std::uint8_t{0});
  if (end == block.end()) return std::nullopt;
  return std::string(begin, end);
}

}  // namespace

Bytes MakeDeviceNamesBlock(const DeviceNames& names) {
  const std::size_t size = names.Driver.size() + names.Device.size() + names.Output.size() + 3 + kHeaderSize;
  if (size > std::numeric_limits<std::uint16_t>::max()) throw EPlatformError("Printer names too long");
  const auto driver = static_cast<std::uint16_t>(kHeaderSize);
  const auto device = static_cast<std::uint16_t>(driver + names.Driver.size() + 1);
  const auto output = static_cast<std::uint16_t>(device + names.Device.size() + 1);
  Bytes block;
  block.reserve(size);
  AppendU16(block, driver);
  AppendU16(block, device);
  AppendU16(block, output);
  AppendU16(block, names.Default ? 1 : 0);
  for (const std::string* name : {&names.Driver, &names.Device, &names.Output}) {
    block.insert(block.end(), name->begin(), name->end());
    block.push_back(0);
  }
  return block;
}

std::optional<DeviceNames> ReadDeviceNamesBlock(ByteSpan block) {
  if (block.size() < kHeaderSize) return std::nullopt;
  auto driver = NameAt(block, LoadU16(block, 0));
  auto device = NameAt(block, LoadU16(block, 2));
  auto output = NameAt(block, LoadU16(block, 4));
  if (!driver || !device || !output) return std::nullopt;
  return DeviceNames{std::move(*driver), std::move(*device), std::move(*output), (LoadU16(block, 6) & 1) != 0};
}

bool PrintDlg(PrintDlgRequest& request) { return Platform::Current().RunPrintDialog(request); }

}  // namespace pravel
