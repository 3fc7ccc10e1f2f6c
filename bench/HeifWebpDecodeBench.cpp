// Decoding a 12-megapixel photo as a phone stores it, as lossy WebP and as HEIC with a thumbnail,
// at full size and for the working copy of a box: the WebP decoder scales while it decodes, the
// HEIC reader averages the decoded rows, or takes the thumbnail when that covers the box. The
// photo is made by the benchmark (gradients under fine grain), encoded once with the libraries'
// own encoders and decoded from memory.
#include <benchmark/benchmark.h>

#include <string>

#include "DecodeLoop.h"
#include "HeifWebpTestPictures.h"
#include "PhotoJpeg.h"
#include "raster/HeifCodec.h"
#include "raster/WebpCodec.h"

namespace nimbra {
namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

const TBitmap32& Photo() {
  static const TBitmap32 photo = bench::PhotoBitmap(kWidth, kHeight);
  return photo;
}

const std::string& Webp() {
  static const std::string bytes = test::WebpBytes(Photo(), {.quality = 85});
  return bytes;
}

const std::string& Heic() {
  static const std::string bytes = test::HeifBytes(Photo(), {.quality = 85, .thumbnailSize = 320});
  return bytes;
}

void BM_WebpFullSize(benchmark::State& state) {
  bench::DecodeRepeatedly(state, OpenWebpReader, Webp(), {});
}

// A working copy of 1000 × 750: a quarter of the photo each way.
void BM_WebpForAQuarter(benchmark::State& state) {
  bench::DecodeRepeatedly(state, OpenWebpReader, Webp(), {kWidth / 4, kHeight / 4});
}

void BM_HeicFullSize(benchmark::State& state) {
  bench::DecodeRepeatedly(state, OpenHeifReader, Heic(), {});
}

void BM_HeicForAQuarter(benchmark::State& state) {
  bench::DecodeRepeatedly(state, OpenHeifReader, Heic(), {kWidth / 4, kHeight / 4});
}

// A box the 320 × 240 thumbnail covers, as on a page of many small photos.
void BM_HeicFromTheThumbnail(benchmark::State& state) {
  bench::DecodeRepeatedly(state, OpenHeifReader, Heic(), {300, 225});
}

BENCHMARK(BM_WebpFullSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WebpForAQuarter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeicFullSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeicForAQuarter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeicFromTheThumbnail)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nimbra

BENCHMARK_MAIN();
