// Page lookups in a 5000-page compressed report read in place. The report is
// built from the benchmark pages first, or taken from $PRAVEL_BENCH_QRP.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>

#include "bench_pages.h"
#include "platform/gdi/metafile.h"
#include "report/qr_page_list.h"

namespace {

constexpr int kPages = 5000;

std::string ReportPath() {
  if (const char* given = std::getenv("PRAVEL_BENCH_QRP"); given != nullptr && *given != '\0') return given;
  static const std::string path = [] {
    auto file = (std::filesystem::temp_directory_path() / "pravel-bench-5000.qrp").string();
    const auto pages = pravel::bench::LoadPages();
    std::vector<pravel::gdi::Metafile> metafiles;
    metafiles.reserve(pages.size());
    for (const auto& page : pages) metafiles.push_back(pravel::gdi::Metafile::FromBytes(pravel::ByteSpan(page)));
    pravel::TQRPageList list;
    list.SetStream(std::make_shared<pravel::TQRStream>(100000));
    list.SetCompression(true);
    for (int i = 0; i < kPages; ++i) list.AddPage(metafiles[static_cast<std::size_t>(i) % metafiles.size()]);
    list.Finish();
    list.SaveFile(file);
    return file;
  }();
  return path;
}

void BM_GetPageRandom(benchmark::State& state) {
  pravel::TQRPageList list;
  list.LoadFile(ReportPath());
  std::mt19937 random(3);
  std::uniform_int_distribution<std::int32_t> page(1, list.PageCount());
  for (auto _ : state) benchmark::DoNotOptimize(list.GetPage(page(random)));
  state.counters["pages"] = list.PageCount();
}
BENCHMARK(BM_GetPageRandom)->Unit(benchmark::kMillisecond);

void BM_GetPageNext(benchmark::State& state) {
  pravel::TQRPageList list;
  list.LoadFile(ReportPath());
  std::int32_t n = 0;
  for (auto _ : state) {
    n = n % list.PageCount() + 1;
    benchmark::DoNotOptimize(list.GetPage(n));
  }
}
BENCHMARK(BM_GetPageNext)->Unit(benchmark::kMillisecond);

void BM_CheckRecords(benchmark::State& state) {
  pravel::TQRPageList list;
  list.LoadFile(ReportPath());
  for (auto _ : state) benchmark::DoNotOptimize(list.CheckRecords());
}
BENCHMARK(BM_CheckRecords)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
