// Drawing one bitmap stretched into a rectangle of another with a resampling filter, replacing the
// target's pixels (opaque) or blended with a master alpha.
#pragma once

#include <cstdint>

#include "raster/Bitmap32.h"
#include "raster/Blend.h"
#include "raster/Resample.h"

namespace nimbra {

// Draws source, or the part of it inside sourceRect, stretched onto targetRect of the target. The
// rectangle may reach beyond the target: only the pixels inside are computed and written, and the
// scale stays that of the whole rectangle. Opaque mode replaces every target pixel inside the
// rectangle; Blend composites as Blend.h says. At the source's own size the pixels are copied or
// blended unchanged, whatever the filter. Nearest works on straight pixels and is exact; the
// other filters compute premultiplied values of 8 bits per channel, so translucent pixels may
// come out a level off, while opaque pictures keep their exact colours.
void StretchDraw(TBitmap32& target, const TRect& targetRect, const TBitmap32& source,
                 TResamplingFilter filter, TDrawMode mode = TDrawMode::Blend,
                 uint8_t masterAlpha = 255);
void StretchDraw(TBitmap32& target, const TRect& targetRect, const TBitmap32& source,
                 const TRect& sourceRect, TResamplingFilter filter,
                 TDrawMode mode = TDrawMode::Blend, uint8_t masterAlpha = 255);

// Blends source stretched onto targetRect exactly as if it had first been stretched onto a bitmap
// of its own of that size (opaque mode) and that bitmap then blended onto the target: the same
// pixels, without the bitmap in between.
void StretchBlendStraight(TBitmap32& target, const TRect& targetRect, const TBitmap32& source,
                          TResamplingFilter filter, uint8_t masterAlpha = 255);

// Source over the whole of the target, opaque, with the box filter: each target pixel becomes the
// area average of the source pixels it covers, weighted by their alpha so that transparent pixels
// lend no colour. Nothing happens when either bitmap is empty.
void StretchDrawOpaque(const TBitmap32& source, TBitmap32& target);

}  // namespace nimbra
