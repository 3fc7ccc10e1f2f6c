// One-pixel lines and rectangle outlines, pixel-exact and without antialiasing: frames, borders
// and patterned (dashed, dotted or colour-cycling) lines. Every pixel is drawn exactly once, so a
// translucent colour is blended once, also at corners. Pixels outside the bitmap are skipped.
#pragma once

#include <cstdint>
#include <vector>

#include "raster/Bitmap32.h"
#include "raster/Blend.h"

namespace nimbra {

// A line from (x1, y1) towards (x2, y2), the end point itself excluded (so lines chain without
// drawing their joints twice): max(|x2 − x1|, |y2 − y1|) pixels, each one step along the longer
// axis, the other coordinate rounded to the nearest pixel (halves away from the start).
void DrawLine(TBitmap32& target, int x1, int y1, int x2, int y2, TColor32 colour,
              TDrawMode mode = TDrawMode::Blend);

// The colours a patterned line cycles through. Position p (counted in entries, wrapping round the
// list) gives entry floor(p) or, with Interpolate, the mix of that entry and the next by the
// fraction of p. Every pixel advances the position by Step.
//   dashes: {c, c, c, transparent, transparent}, Step 1, no interpolation;
//   a smooth two-colour wave: {c1, c2}, Step 2 / wave length, Interpolate.
struct TLinePattern {
  std::vector<TColor32> Colors;
  double Step = 1;
  bool Interpolate = true;

  // The colour at position p; transparent for an empty pattern.
  TColor32 ColorAt(double position) const;
};

// The same pixels as DrawLine, coloured by the pattern from position start; returns the position
// after the last pixel so that a following line can continue the pattern.
double DrawPatternedLine(TBitmap32& target, int x1, int y1, int x2, int y2,
                         const TLinePattern& pattern, double start = 0,
                         TDrawMode mode = TDrawMode::Blend);

// The one-pixel outline of rect: its first and last columns and rows.
void FrameRect(TBitmap32& target, const TRect& rect, TColor32 colour,
               TDrawMode mode = TDrawMode::Blend);

}  // namespace nimbra
