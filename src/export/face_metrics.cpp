#include "export/face_metrics.h"

#include <algorithm>
#include <array>

namespace pravel {

namespace {

struct FaceEntry {
  std::string_view face;
  FaceMetrics metrics;
};

// Each face together with its metric-compatible replacement.
constexpr std::array kFaces{
    FaceEntry{"Arial", {0.905, 0.212}},           FaceEntry{"Liberation Sans", {0.905, 0.212}},
    FaceEntry{"Times New Roman", {0.891, 0.216}}, FaceEntry{"Liberation Serif", {0.891, 0.216}},
    FaceEntry{"Courier New", {0.833, 0.300}},     FaceEntry{"Liberation Mono", {0.833, 0.300}},
};

constexpr char Lower(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) noexcept {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return Lower(x) == Lower(y); });
}

}  // namespace

FaceMetrics MetricsOfFace(std::string_view face) noexcept {
  constexpr std::string_view kCentralEuropean = " CE";
  if (face.size() > kCentralEuropean.size() &&
      SameName(face.substr(face.size() - kCentralEuropean.size()), kCentralEuropean)) {
    face.remove_suffix(kCentralEuropean.size());
  }
  for (const FaceEntry& entry : kFaces) {
    if (SameName(face, entry.face)) return entry.metrics;
  }
  return {};
}

}  // namespace pravel
