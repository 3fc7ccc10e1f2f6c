// Resampling: computing a picture at another size with a chosen filter. This is the engine behind
// stretched drawing and the size reduction that precedes rotations; drawing code normally calls
// StretchDraw (StretchDraw.h) rather than these functions.
//
// A source of n pixels stretched onto m pixels maps target pixel i to the source position
// (i + 0.5) × n / m (pixel edges at whole numbers), so the picture's edges meet the target
// rectangle's edges exactly. Filters are separable (rows first, then columns). When the picture
// shrinks by a factor k, every kernel is widened by k so that each target pixel gathers all the
// source pixels under it. Beyond the source's edges the edge pixels repeat, so a uniform picture
// stays uniform to its border.
#pragma once

#include <cstdint>
#include <functional>

#include "raster/Bitmap32.h"

namespace nimbra {

// The stored resampling filter numbers of the slideshow settings, in their order.
enum class TResamplingFilter : uint8_t {
  Nearest = 0,   // the source pixel under the target pixel's centre
  Box = 1,       // the exact area average of the source pixels under the target pixel
  Linear = 2,    // triangle, support 1
  Cosine = 3,    // (1 + cos πx) / 2, support 1: smoother than linear, still interpolating
  Spline = 4,    // cubic B-spline, support 2: smooth and never overshooting, softens
  Lanczos = 5,   // Lanczos with three lobes, support 3: sharp, slight ringing
  Mitchell = 6,  // Mitchell–Netravali cubic (B = C = 1/3), support 2
};

// The filter stored under a number; numbers outside 0 … 6 give Nearest.
TResamplingFilter ResamplingFilterFromNumber(int number);

// Receives the rows of a resampled area from top to bottom: y is the target row, pixels hold the
// area's columns from its left edge. The pointer is valid only during the call.
using TResampledRowSink = std::function<void(int y, const TColor32* pixels)>;

// Stretches the part of source inside sourceRect (clipped to the source) onto targetRect and
// produces the pixels of the target rows and columns inside area (clipped to targetRect).
// Nothing is produced when any of the rectangles is empty.
//
// ResampleNearest delivers straight pixels, copied from the source unchanged. ResampleConvolved
// (every other filter; Nearest is treated as Box there) delivers premultiplied pixels, each
// channel rounded to 8 bits and never above alpha. Its kernel has about (n / m) × support taps
// per pixel on each axis; where n exceeds 3 m, the source is first reduced by exact area
// averaging to 2 m (ResampleRows.h), so that the taps stay few and the work follows the source
// rows read once plus the output.
void ResampleNearest(const TBitmap32& source, const TRect& sourceRect, const TRect& targetRect,
                     const TRect& area, const TResampledRowSink& sink);
void ResampleConvolved(const TBitmap32& source, const TRect& sourceRect, const TRect& targetRect,
                       const TRect& area, TResamplingFilter filter, const TResampledRowSink& sink);

// The whole source at width × height with the filter, straight pixels. An empty source or size
// gives an empty bitmap.
TBitmap32 Resampled(const TBitmap32& source, int width, int height, TResamplingFilter filter);

}  // namespace nimbra
