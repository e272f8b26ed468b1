// Page coder speed on EMF page bytes, one fresh coder per page as the page
// list uses it, through a memory stream and through a file read in place.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "bench_pages.h"
#include "report/qr_compress.h"

namespace {

using pravel::Bytes;
using pravel::TQRCompress;
using pravel::TQRCompressMode;
using pravel::TQRStream;

const std::vector<Bytes>& Pages() {
  static const std::vector<Bytes> pages = pravel::bench::LoadPages();
  return pages;
}

std::int64_t TotalBytes() {
  std::int64_t total = 0;
  for (const auto& page : Pages()) total += static_cast<std::int64_t>(page.size());
  return total;
}

void EncodeAll(TQRStream& stream) {
  for (const auto& page : Pages()) {
    TQRCompress coder(stream, TQRCompressMode::Compress);
    for (const std::uint8_t byte : page) coder.Encode(byte);
    coder.Flush();
  }
}

void DecodeAll(TQRStream& stream, Bytes& out) {
  stream.SetPosition(0);
  const pravel::ScopedLock lock(stream);
  for (const auto& page : Pages()) {
    out.resize(page.size());
    TQRCompress coder(stream, TQRCompressMode::Expand);
    for (std::uint8_t& byte : out) byte = coder.Decode();
  }
}

void BM_Encode(benchmark::State& state) {
  for (auto _ : state) {
    TQRStream stream(1 << 30);
    EncodeAll(stream);
    benchmark::DoNotOptimize(stream.Size());
  }
  state.SetBytesProcessed(state.iterations() * TotalBytes());
}
BENCHMARK(BM_Encode)->Unit(benchmark::kMillisecond);

void BM_Decode(benchmark::State& state) {
  TQRStream stream(1 << 30);
  EncodeAll(stream);
  state.counters["ratio"] = static_cast<double>(stream.Size()) / static_cast<double>(TotalBytes());
  Bytes out;
  for (auto _ : state) {
    DecodeAll(stream, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * TotalBytes());
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);

void BM_DecodeFromFile(benchmark::State& state) {
  const auto path = std::filesystem::temp_directory_path() / "pravel-bench-coder.bin";
  {
    TQRStream stream(1 << 30);
    EncodeAll(stream);
    std::ofstream out(path, std::ios::binary);
    stream.CopyTo([&out](pravel::ByteSpan chunk) {
      out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
    });
  }
  const auto stream = TQRStream::OpenFile(path.string());
  Bytes out;
  for (auto _ : state) {
    DecodeAll(*stream, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * TotalBytes());
  std::filesystem::remove(path);
}
BENCHMARK(BM_DecodeFromFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
