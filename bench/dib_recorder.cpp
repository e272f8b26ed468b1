// DIB decoding of page-sized pictures and recording of a report page.

#include <benchmark/benchmark.h>

#include "platform/gdi/dib.h"
#include "platform/gdi/emf_recorder.h"

namespace {

using namespace pravel;
using namespace pravel::gdi;

// An A4 scan at 300 dpi.
constexpr std::int32_t kWidth = 2480, kHeight = 3508;

Bitmap Gradient(std::int32_t w, std::int32_t h) {
  Bitmap bm;
  bm.width = w;
  bm.height = h;
  bm.pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (std::size_t i = 0; i < bm.pixels.size(); ++i)
    bm.pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
  return bm;
}

void BM_DecodeDib24(benchmark::State& state) {
  const Bytes dib = EncodeDib24(Gradient(kWidth, kHeight));
  const ByteSpan all(dib);
  for (auto _ : state) {
    benchmark::DoNotOptimize(DecodeDib(all.first(kBitmapInfoHeaderSize), all.subspan(kBitmapInfoHeaderSize)));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(dib.size()));
}
BENCHMARK(BM_DecodeDib24)->Unit(benchmark::kMillisecond);

void BM_DecodeRle8(benchmark::State& state) {
  Bytes bmi(kBitmapInfoHeaderSize, 0);
  StoreU32(bmi, 0, kBitmapInfoHeaderSize);
  StoreU32(bmi, 4, kWidth);
  StoreU32(bmi, 8, kHeight);
  bmi[12] = 1;
  bmi[14] = 8;
  bmi[16] = kBiRle8;
  for (std::uint32_t i = 0; i < 256; ++i) AppendU32(bmi, i * 0x010101u);
  Bytes bits;
  for (std::int32_t y = 0; y < kHeight; ++y) {
    for (std::int32_t x = 0; x + 8 <= kWidth; x += 8) {
      AppendU8(bits, 8);
      AppendU8(bits, static_cast<std::uint8_t>(x ^ y));
    }
    AppendU16(bits, 0);  // end of line
  }
  AppendU16(bits, 0x0100);  // end of bitmap
  for (auto _ : state) benchmark::DoNotOptimize(DecodeDib(bmi, bits));
}
BENCHMARK(BM_DecodeRle8)->Unit(benchmark::kMillisecond);

// A page of 60 labels, lines and the start page's 114 x 148 picture.
void BM_RecordPage(benchmark::State& state) {
  const Bitmap picture = Gradient(114, 148);
  const std::vector<std::int32_t> dx(40, 7);
  const std::u16string text(40, u'x');
  for (auto _ : state) {
    EmfRecorder rec(794, 1123);
    rec.SelectObject(rec.CreateFont(LogFontFromFont(Font{})));
    rec.SetBkMode(gdi::BackgroundMode::Transparent);
    for (std::int32_t i = 0; i < 60; ++i) {
      rec.ExtTextOut({40, 60 + 16 * i}, std::u16string_view(text), dx);
      rec.MoveTo(40, 74 + 16 * i);
      rec.LineTo(754, 74 + 16 * i);
    }
    rec.StretchDIBits({600, 40, 714, 188}, picture);
    benchmark::DoNotOptimize(rec.Finish());
  }
}
BENCHMARK(BM_RecordPage)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
