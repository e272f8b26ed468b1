// Feeds bytes as a .qrp file through loading, the record check and every
// page lookup, forwards and backwards.
// fuzz-seeds: corpus/qrp

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/errors.h"
#include "report/qr_page_list.h"

namespace {

// One in-memory file, rewritten for every input and opened by path.
const std::string& FilePath() {
  static const std::string path = [] {
    const int fd = ::memfd_create("qrp", 0);
    return fd >= 0 ? "/proc/self/fd/" + std::to_string(fd) : std::string();
  }();
  return path;
}

bool WriteInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = FilePath();
  if (path.empty()) return false;
  const int fd = std::stoi(path.substr(path.rfind('/') + 1));
  if (::ftruncate(fd, 0) != 0) return false;
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

void TryPage(pravel::TQRPageList& list, std::int32_t n) {
  try {
    list.GetPage(n);
  } catch (const pravel::EPlatformError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!WriteInput(data, size)) return 0;
  pravel::TQRPageList list;
  try {
    list.LoadFile(FilePath());
  } catch (const pravel::EPlatformError&) {
    return 0;
  }
  try {
    list.CheckRecords();
  } catch (const pravel::EPlatformError&) {
  }
  // A record takes at least 12 bytes, so lookups past that can only fail;
  // beyond a few hundred pages they take no new paths either.
  const auto last = static_cast<std::int32_t>(
      std::min<std::int64_t>({list.PageCount(), static_cast<std::int64_t>(size / 12) + 2, std::int64_t{256}}));
  for (std::int32_t n = 1; n <= last; ++n) TryPage(list, n);
  for (std::int32_t n = last; n >= 1; n -= 2) TryPage(list, n);
  TryPage(list, list.PageCount());
  return 0;
}
