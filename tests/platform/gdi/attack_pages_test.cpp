#include "attack_pages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>

#include "emf_builder.h"
#include "platform/gdi/player.h"
#include "platform/gdi/region.h"

namespace pravel::gdi::test {
namespace {

// Counts the calls and checks that every coordinate is one a raster engine takes.
class BoundsCheckingSurface final : public Surface {
 public:
  int calls = 0;
  bool all_in_range = true;

  void SetClip(const Region*) override {}
  void FillPath(const Path& path, FillRule, const Brush&, Rop2) override { Check(path.points); }
  void StrokePath(const Path& path, const Pen& pen, Rop2) override {
    Check(path.points);
    if (!(pen.width <= kMax)) all_in_range = false;
  }
  void DrawText(const TextRun& run) override {
    Check({run.reference});
    Check(run.origins);
    if (!(std::fabs(run.font.height) <= kMax)) all_in_range = false;
  }
  void DrawImage(const ImageDraw& draw) override { Check({draw.dest.begin(), draw.dest.end()}); }

 private:
  static constexpr double kMax = 1 << 30;
  void Check(const std::vector<PointD>& points) {
    ++calls;
    for (const auto& p : points)
      if (!(std::fabs(p.x) <= kMax) || !(std::fabs(p.y) <= kMax)) all_in_range = false;
  }
};

TEST(AttackPages, EachEndsOnItsBudgetOrDrawsCheaply) {
  // A tenth of the budget stops the same pages sooner (bench/attack_pages.sh
  // plays them with the whole one).
  WorkBudget tenth;
  for (auto& limit : tenth.limit) limit /= 10;
  const WorkBudget defaults;
  for (const auto& page : AttackPages()) {
    SCOPED_TRACE(page.name);
    BoundsCheckingSurface surface;
    const WorkBudget used = PlayMetafile(Metafile::FromBytes(page.bytes), surface, {0, 0, 1000, 1000}, tenth);
    EXPECT_EQ(used.exhausted, page.exhausts);
    EXPECT_TRUE(surface.all_in_range);
    EXPECT_LE(static_cast<std::uint64_t>(surface.calls), defaults.limit[static_cast<std::size_t>(Work::Operations)]);
    EXPECT_LT(page.bytes.size(), std::size_t{2} << 20);
  }
}

// With PRAVEL_ATTACK_PAGES=DIR the pages are written there, as fuzzing seeds
// and for measuring the programs on them.
TEST(AttackPages, WrittenForFuzzingAndMeasuring) {
  const char* dir = std::getenv("PRAVEL_ATTACK_PAGES");
  if (dir == nullptr) GTEST_SKIP() << "PRAVEL_ATTACK_PAGES not set";
  std::filesystem::create_directories(dir);
  for (const auto& page : AttackPages()) {
    std::ofstream out(std::filesystem::path(dir) / (page.name + ".emf"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(page.bytes.data()), static_cast<std::streamsize>(page.bytes.size()));
    ASSERT_TRUE(out.good()) << page.name;
  }
}

TEST(WorkBudget, StopsThePageWhereItRunsOutAndKeepsWhatWasDrawn) {
  EmfBuilder emf;
  for (int k = 0; k < 10; ++k) emf.Add(Emr::Rectangle, {k, k, 100, 100});
  WorkBudget budget;
  budget.limit[static_cast<std::size_t>(Work::Operations)] = 4;
  BoundsCheckingSurface surface;
  WorkBudget used = PlayMetafile(emf.Make(), surface, {0, 0, 1000, 1000}, budget);
  EXPECT_TRUE(used.exhausted);
  // Each rectangle is a fill and a stroke: the first two are drawn whole.
  EXPECT_EQ(surface.calls, 4);
  EXPECT_FALSE(used.Charge(Work::Glyphs, 0)) << "stays exhausted";
}

TEST(WorkBudget, ChargesSaturate) {
  WorkBudget budget;
  EXPECT_TRUE(budget.Charge(Work::Glyphs, 10));
  EXPECT_FALSE(budget.Charge(Work::Glyphs, UINT64_MAX));
  EXPECT_EQ(budget.Used(Work::Glyphs), UINT64_MAX);
}

TEST(WorkBudget, VectorTargetsAllowTheRowsOfTheirResolution) {
  // Page-high bars that a 96-dpi page crosses within the fill-row limit.
  EmfBuilder emf;
  for (int k = 0; k < 1500; ++k) emf.Add(Emr::Rectangle, {k % 1000, 0, k % 1000 + 2, 1000});
  const RectD at_1200_dpi{0, 0, 12500, 12500};
  BoundsCheckingSurface surface;
  EXPECT_FALSE(PlayMetafile(emf.Make(), surface, {0, 0, 1000, 1000}).exhausted);
  EXPECT_TRUE(PlayMetafile(emf.Make(), surface, at_1200_dpi).exhausted);
  EXPECT_FALSE(PlayMetafile(emf.Make(), surface, at_1200_dpi, VectorTargetBudget(1200)).exhausted);
  const WorkBudget odd = VectorTargetBudget(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(odd.limit, WorkBudget{}.limit);
}

TEST(Region, OffsetPastTheDeviceRangeLeavesTheRegion) {
  Region r = Region::FromRect({0, 0, 10, 10});
  for (int k = 0; k < 3; ++k) r.Offset(1 << 30, 1 << 30);
  EXPECT_EQ(r.Bounds(), (RectI{0, 0, 10, 10}));
  r.Offset(-5, 7);
  EXPECT_EQ(r.Bounds(), (RectI{-5, 7, 5, 17}));
}

}  // namespace
}  // namespace pravel::gdi::test
