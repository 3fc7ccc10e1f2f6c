// Decoding a 24-megapixel photo at full size and reduced by libjpeg's DCT scaling, as the picture
// element asks for it when its working copy is much smaller than the photo. The photo is made by
// the benchmark (a gradient with fine detail, so that it compresses like a photo, not like a
// flat picture), written once with our JPEG writer and decoded from memory.
#include <benchmark/benchmark.h>

#include <string>

#include "DecodeLoop.h"
#include "PhotoJpeg.h"
#include "raster/JpegCodec.h"

namespace nimbra {
namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

const std::string& Photo() {
  static const std::string bytes = bench::PhotoJpegBytes(kWidth, kHeight, 85);
  return bytes;
}

void Decode(benchmark::State& state, TDecodeHint hint) {
  bench::DecodeRepeatedly(state, OpenJpegReader, Photo(), hint);
}

void BM_DecodeFullSize(benchmark::State& state) {
  Decode(state, {});
}

// A working copy of 1500 × 1000 (a 750 × 500 box at twice its size) lets libjpeg decode at 1/4.
void BM_DecodeQuarterSize(benchmark::State& state) {
  Decode(state, {kWidth / 4, kHeight / 4});
}

// 1501 pixels are one too many for 1/4; the decode falls back to 1/2.
void BM_DecodeHalfSize(benchmark::State& state) {
  Decode(state, {kWidth / 4 + 1, kHeight / 4});
}

BENCHMARK(BM_DecodeFullSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeHalfSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeQuarterSize)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nimbra

BENCHMARK_MAIN();
