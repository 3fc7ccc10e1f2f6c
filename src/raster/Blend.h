// Putting pixels onto a bitmap: copying, and "source over" compositing of colours that carry their
// own alpha, optionally weakened by a master alpha for the whole drawing.
//
// Blending works on straight (not premultiplied) alpha and is the standard source-over rule: with
// a = source alpha × master alpha (0 … 1) and the target's alpha t,
//   result alpha  = a + t × (1 − a)
//   result colour = (source × a + target × t × (1 − a)) / result alpha.
// An opaque target therefore stays opaque, and over an opaque target the colour is simply
// source × a + target × (1 − a), rounded to the nearest integer.
#pragma once

#include <cstdint>

#include "raster/Bitmap32.h"

namespace nimbra {

// How a picture reaches the target: Opaque replaces the target's pixels (alpha included, master
// alpha ignored); Blend composites them with the rule above; Merge with the integer rule of
// MergeColors, which the picture effects draw with. DrawBitmap and DrawTransformed honour Merge;
// the stretching drawers composite it as Blend.
enum class TDrawMode : uint8_t { Opaque, Blend, Merge };

// One pixel of the rule above.
TColor32 BlendColors(TColor32 foreground, TColor32 background, uint8_t masterAlpha = 255);

// One pixel of the effects' merge rule, in integers (F foreground, Fa its alpha, M the master
// alpha, B background, Ba its alpha):
//   Fa = 255 and M = 255: F.  Fa = 255 and M = 0, or Fa = 0: B.
//   Otherwise c = M × Fa div 255; c = 255 or Ba = 0: F's colour with alpha c.
//   Otherwise alpha g = c + Ba − Ba × c div 255, and each channel
//   ((65536 div g) × (b + ((f − b) × c shr 8))) shr 8 with b = B × Ba shr 8.
// (f − b) × c is taken signed and shifted arithmetically, so a foreground darker than the
// background darkens the result instead of wrapping round.
TColor32 MergeColors(TColor32 foreground, TColor32 background, uint8_t masterAlpha = 255);

// The colour a fraction (0 … 1, clamped) of the way from first to second. The mix is taken on
// premultiplied values, so mixing with a transparent colour fades the alpha without darkening.
TColor32 MixColors(TColor32 first, TColor32 second, double fraction);

// Colour channels multiplied by alpha / 255 and back, both rounded to the nearest integer. An
// opaque colour is unchanged both ways; the round trip of a translucent colour may lose precision
// (a colour at alpha a keeps about a levels per channel).
TColor32 Premultiply(TColor32 colour);
TColor32 Unpremultiply(TColor32 premultiplied);

// Draws source with its top-left corner at (x, y), clipped to the target. The second form draws
// only the part of source inside sourceRect (clipped to the source), placed at (x, y).
void DrawBitmap(TBitmap32& target, int x, int y, const TBitmap32& source,
                TDrawMode mode = TDrawMode::Blend, uint8_t masterAlpha = 255);
void DrawBitmap(TBitmap32& target, int x, int y, const TBitmap32& source, const TRect& sourceRect,
                TDrawMode mode = TDrawMode::Blend, uint8_t masterAlpha = 255);

// Fills the part of rect inside the target with colour: set as it is (Opaque) or blended.
void FillRect(TBitmap32& target, const TRect& rect, TColor32 colour,
              TDrawMode mode = TDrawMode::Opaque);

// Row kernels shared by the stretching and transforming code, which produce premultiplied rows.
// Each handles count pixels; source and target must not overlap, except that PremultiplyRow and
// UnpremultiplyRow may work in place (target == source).
void PremultiplyRow(TColor32* target, const TColor32* source, int count);
void BlendRow(TColor32* target, const TColor32* source, int count, uint8_t masterAlpha);
void MergeRow(TColor32* target, const TColor32* source, int count, uint8_t masterAlpha);
void BlendPremultipliedRow(TColor32* target, const TColor32* premultiplied, int count,
                           uint8_t masterAlpha);
// Writes the straight form of every pixel (Opaque drawing of premultiplied rows).
void UnpremultiplyRow(TColor32* target, const TColor32* premultiplied, int count);
// Like UnpremultiplyRow, but leaves target pixels alone where the source is fully transparent:
// the opaque drawing of a transformed picture touches only what the picture covers.
void UnpremultiplyCoveredRow(TColor32* target, const TColor32* premultiplied, int count);
// True when every pixel of the row has alpha 255.
bool RowIsOpaque(const TColor32* row, int count);

}  // namespace nimbra
