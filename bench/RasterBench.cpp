// How fast the pixel operations a page needs are: stretching a 24-megapixel photo into a
// full-HD box with the quality filters, turning a full-HD picture by 7 degrees, blending a 4K
// picture at half opacity, and a whole 4K page with four such photos. For comparison, the same
// stretch through pixman's own separable convolution (one pass, as pixman offers it) runs once.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <cstdlib>
#include <random>

#include "raster/AreaReducer.h"
#include "raster/Blend.h"
#include "raster/StretchDraw.h"
#include "raster/Transform.h"

namespace nimbra::bench {

namespace {

// Smooth gradients with a little noise, opaque, like a photo.
TBitmap32 Photo(int width, int height) {
  TBitmap32 photo(width, height);
  std::mt19937 random(1);
  for (int y = 0; y < height; ++y) {
    TColor32* line = photo.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      const uint32_t noise = random() & 15;
      line[x] =
          Color32(uint8_t(x * 255 / width + noise), uint8_t(y * 255 / height), uint8_t(noise * 8));
    }
  }
  return photo;
}

const TBitmap32& BigPhoto() {
  static const TBitmap32 photo = Photo(6000, 4000);
  return photo;
}

void Stretch(benchmark::State& state, TResamplingFilter filter) {
  const TBitmap32& source = BigPhoto();
  TBitmap32 target(1920, 1080);
  for (auto _ : state) {
    StretchDraw(target, target.BoundsRect(), source, filter, TDrawMode::Opaque);
    benchmark::DoNotOptimize(target.Bits());
  }
  state.counters["source_MP"] = 24;
}

void BM_StretchLanczos6000x4000To1920x1080(benchmark::State& state) {
  Stretch(state, TResamplingFilter::Lanczos);
}
void BM_StretchMitchell6000x4000To1920x1080(benchmark::State& state) {
  Stretch(state, TResamplingFilter::Mitchell);
}
void BM_StretchNearest6000x4000To1920x1080(benchmark::State& state) {
  Stretch(state, TResamplingFilter::Nearest);
}

// A small photo enlarged into a quarter of a 4K page, as an album of camera-phone pictures has it.
void BM_StretchMitchell640x480To1440x1080(benchmark::State& state) {
  const TBitmap32 source = Photo(640, 480);
  TBitmap32 target(1440, 1080);
  for (auto _ : state) {
    StretchDraw(target, target.BoundsRect(), source, TResamplingFilter::Mitchell,
                TDrawMode::Opaque);
    benchmark::DoNotOptimize(target.Bits());
  }
}

// What the JPEG reader does with a photo whose working copy is 3240 × 2160: every decoded row
// goes through the area reducer.
void BM_AreaReduce6000x4000To3240x2160(benchmark::State& state) {
  const TBitmap32& source = BigPhoto();
  for (auto _ : state) {
    TBitmap32 target;
    target.SetSizeForOverwrite(3240, 2160);
    TAreaReducer reducer(source.Width(), source.Height(), target);
    for (int y = 0; y < source.Height(); ++y) reducer.AddOpaqueRow(source.ScanLine(y));
    benchmark::DoNotOptimize(target.Bits());
  }
}

// The picture element's geometric step: turned about its centre into its turned bounding box.
void BM_Rotate1920x1080By7Degrees(benchmark::State& state) {
  const TBitmap32 source = Photo(1920, 1080);
  TAffineTransformation t;
  t.Translate(-(1920 - 1) / 2.0, -(1080 - 1) / 2.0);
  t.Rotate(7);
  t.SetSrcRect({-0.5, -0.5, 1919.5, 1079.5});
  const TRect bounds = t.GetTransformedBounds();
  t.Translate(-bounds.Left, -bounds.Top);
  TBitmap32 target(bounds.Width(), bounds.Height());
  for (auto _ : state) {
    target.Clear(0x00FFFFFF);
    DrawTransformed(target, source, t, TResamplingFilter::Lanczos, TDrawMode::Opaque);
    benchmark::DoNotOptimize(target.Bits());
  }
}

void BM_Blend3840x2160AtMasterAlpha128(benchmark::State& state) {
  const TBitmap32 source = Photo(3840, 2160);
  TBitmap32 target = Photo(3840, 2160);
  for (auto _ : state) {
    DrawBitmap(target, 0, 0, source, TDrawMode::Blend, 128);
    benchmark::DoNotOptimize(target.Bits());
  }
}

// Four 24-megapixel photos blended into the four quarters of a 4K page, Lanczos.
void BM_Page3840x2160WithFourPhotos(benchmark::State& state) {
  const TBitmap32& source = BigPhoto();
  TBitmap32 page(3840, 2160);
  for (auto _ : state) {
    page.Clear(kColor32White);
    for (int i = 0; i < 4; ++i) {
      const int left = (i % 2) * 1920 + 10;
      const int top = (i / 2) * 1080 + 10;
      StretchDraw(page, {left, top, left + 1900, top + 1060}, source, TResamplingFilter::Lanczos,
                  TDrawMode::Blend);
    }
    benchmark::DoNotOptimize(page.Bits());
  }
}

// pixman's separable convolution as it comes: one pass, a 19 × 23 tap matrix per pixel.
void BM_ReferencePixmanSeparableLanczos6000x4000To1920x1080(benchmark::State& state) {
  const TBitmap32& source = BigPhoto();
  TBitmap32 target(1920, 1080);
  pixman_image_t* from = pixman_image_create_bits(PIXMAN_a8r8g8b8, 6000, 4000,
                                                  const_cast<TColor32*>(source.Bits()), 6000 * 4);
  pixman_image_t* to =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, 1920, 1080, target.Bits(), 1920 * 4);
  const double sx = 6000.0 / 1920;
  const double sy = 4000.0 / 1080;
  int count = 0;
  pixman_fixed_t* params = pixman_filter_create_separable_convolution(
      &count, pixman_double_to_fixed(sx), pixman_double_to_fixed(sy), PIXMAN_KERNEL_IMPULSE,
      PIXMAN_KERNEL_IMPULSE, PIXMAN_KERNEL_LANCZOS3, PIXMAN_KERNEL_LANCZOS3, 4, 4);
  pixman_image_set_filter(from, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, count);
  std::free(params);
  pixman_transform_t scale;
  pixman_transform_init_scale(&scale, pixman_double_to_fixed(sx), pixman_double_to_fixed(sy));
  pixman_image_set_transform(from, &scale);
  pixman_image_set_repeat(from, PIXMAN_REPEAT_PAD);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, from, nullptr, to, 0, 0, 0, 0, 0, 0, 1920, 1080);
    benchmark::DoNotOptimize(target.Bits());
  }
  pixman_image_unref(from);
  pixman_image_unref(to);
}

}  // namespace

BENCHMARK(BM_StretchLanczos6000x4000To1920x1080)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StretchMitchell6000x4000To1920x1080)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StretchNearest6000x4000To1920x1080)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StretchMitchell640x480To1440x1080)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AreaReduce6000x4000To3240x2160)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Rotate1920x1080By7Degrees)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Blend3840x2160AtMasterAlpha128)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Page3840x2160WithFourPhotos)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReferencePixmanSeparableLanczos6000x4000To1920x1080)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace nimbra::bench

BENCHMARK_MAIN();
