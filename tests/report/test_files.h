#pragma once
// Helpers shared by the report and qrptool tests: EMF pages of a chosen
// size, .qrp images built in memory, and a temporary folder.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/bytes.h"
#include "platform/gdi/metafile.h"

namespace pravel::test {

// A valid EMF of exactly `size` bytes (at least 120): the header record, a
// comment record filled with `fill`, and the EOF record.
inline Bytes MakeEmf(std::size_t size, std::uint8_t fill) {
  Bytes out;
  AppendU32(out, 1);
  AppendU32(out, 88);
  for (int v : {0, 0, 99, 199}) AppendI32(out, v);
  for (int v : {0, 0, 2645, 5291}) AppendI32(out, v);
  AppendU32(out, 0x464D4520);
  AppendU32(out, 0x10000);
  AppendU32(out, static_cast<std::uint32_t>(size));
  AppendU32(out, 3);
  AppendU16(out, 1);
  AppendU16(out, 0);
  for (int i = 0; i < 3; ++i) AppendU32(out, 0);
  for (int v : {1920, 1080, 508, 286}) AppendI32(out, v);
  const auto comment = static_cast<std::uint32_t>(size - 88 - 20);
  AppendU32(out, 70);
  AppendU32(out, comment);
  AppendU32(out, comment - 12);
  out.resize(out.size() + comment - 12, fill);
  for (std::uint32_t v : {14u, 20u, 0u, 16u, 20u}) AppendU32(out, v);
  return out;
}

inline gdi::Metafile MakePage(std::size_t size, std::uint8_t fill) {
  return gdi::Metafile::FromBytes(MakeEmf(size, fill));
}

inline Bytes ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::filesystem::path& path, ByteSpan bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pravel-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
      names.push_back(entry.path().filename().string());
    return names;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace pravel::test
