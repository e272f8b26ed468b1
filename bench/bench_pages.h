#pragma once
// EMF page bytes for the benchmarks: the corpus pages beside the repository
// when they are there, else generated stand-ins of a similar make-up.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/bytes.h"

namespace pravel::bench {

// The twenty pages of the corpus's 20-page reports.
inline const char* const kCorpusPages[] = {
    "EA-test-file-001.emf", "EA-test-file-010.emf", "EA-test-file-032.emf", "test-006.emf", "test-015.emf",
    "test-025.emf",         "test-036.emf",         "test-045.emf",         "test-054.emf", "test-063.emf",
    "test-075.emf",         "test-084.emf",         "test-094.emf",         "test-103.emf", "test-117.emf",
    "test-127.emf",         "test-138.emf",         "test-147.emf",         "test-159.emf", "test-171.emf"};

inline std::vector<Bytes> LoadPages() {
  std::vector<Bytes> pages;
  const std::filesystem::path folder =
      std::filesystem::path(PRAVEL_SOURCE_DIR) / ".." / "shared" / "corpus" / "emf" / "valid";
  for (const char* name : kCorpusPages) {
    std::ifstream in(folder / name, std::ios::binary);
    if (!in) continue;
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Only the first nBytes belong to the metafile.
    if (bytes.size() >= 52) bytes.resize(std::min<std::size_t>(bytes.size(), LoadU32(bytes, 48)));
    pages.push_back(std::move(bytes));
  }
  if (!pages.empty()) return pages;
  // Stand-ins: runs of small records with repeating fields.
  std::mt19937 random(1);
  for (int p = 0; p < 20; ++p) {
    Bytes bytes;
    while (bytes.size() < 40000) {
      AppendU32(bytes, 1 + random() % 100);
      AppendU32(bytes, 24);
      for (int i = 0; i < 4; ++i) AppendI32(bytes, static_cast<std::int32_t>(random() % 2000));
    }
    pages.push_back(std::move(bytes));
  }
  return pages;
}

}  // namespace pravel::bench
