// Plays EMF files onto a surface that draws nothing and prints, per kind of
// work, the most any page asked for and the page that did: the figures the
// player's work limits are set from.
//
//   work_peaks FILE.emf...

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/gdi/metafile.h"
#include "platform/gdi/player.h"

namespace {

using namespace pravel::gdi;

class NullSurface : public Surface {
 public:
  void SetClip(const Region*) override {}
  void FillPath(const Path&, FillRule, const Brush&, Rop2) override {}
  void StrokePath(const Path&, const Pen&, Rop2) override {}
  void DrawText(const TextRun&) override {}
  void DrawImage(const ImageDraw&) override {}
};

// The page at 96 dpi, as qrptool render draws it by default.
RectD Target(const Metafile& m) {
  const auto& f = m.Header().rclFrame;
  const double w = std::fabs((static_cast<double>(f.right) - f.left) / 2540.0 * 96);
  const double h = std::fabs((static_cast<double>(f.bottom) - f.top) / 2540.0 * 96);
  return {0, 0, std::max(1.0, w), std::max(1.0, h)};
}

}  // namespace

int main(int argc, char** argv) {
  std::array<std::uint64_t, kWorkKinds> peak{};
  std::array<std::string, kWorkKinds> where;
  int pages = 0, stopped = 0;
  for (int k = 1; k < argc; ++k) {
    std::ifstream in(argv[k], std::ios::binary);
    pravel::Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    try {
      const Metafile metafile = Metafile::FromBytes(std::move(bytes));
      NullSurface surface;
      const WorkBudget used = PlayMetafile(metafile, surface, Target(metafile));
      ++pages;
      if (used.exhausted) ++stopped;
      for (std::size_t i = 0; i < kWorkKinds; ++i) {
        if (used.used[i] > peak[i]) {
          peak[i] = used.used[i];
          where[i] = argv[k];
        }
      }
    } catch (const std::exception&) {
    }
  }
  const WorkBudget limits;
  std::printf("%d pages played, %d stopped\n", pages, stopped);
  for (std::size_t i = 0; i < kWorkKinds; ++i) {
    const auto ratio = peak[i] ? static_cast<double>(limits.limit[i]) / static_cast<double>(peak[i]) : 0.0;
    std::printf("%-30s peak %14llu  limit %14llu  (x%.0f)  %s\n", std::string(WorkName(static_cast<Work>(i))).c_str(),
                static_cast<unsigned long long>(peak[i]), static_cast<unsigned long long>(limits.limit[i]), ratio,
                where[i].c_str());
  }
  return stopped == 0 ? 0 : 1;
}
