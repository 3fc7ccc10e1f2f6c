// The frame of the simple border effect, drawn into the margins of a bitmap grown around its
// picture: a solid colour, a two-colour pattern, three kinds of gradient or a relief.
#pragma once

#include <cstdint>

#include "raster/Bitmap32.h"

namespace nimbra {

// The frame's width on each side, in pixels.
struct TBorderSides {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

struct TBorderFrame {
  // 0 to 5, as kBorderStyleSolid … kBorderStyleRelief; anything else draws as solid.
  uint8_t Style = 0;
  TColor32 Color1 = kColor32Black;
  TColor32 Color2 = kColor32Black;
  // The common width: the pattern, frame gradient and relief always use it, even when the
  // sides have widths of their own.
  int Width = 1;
  // Where the solid frame and the horizontal and vertical gradients lie.
  TBorderSides Sides;
  // How many times the pattern's colours come round on a side (before it is evened out).
  int32_t PatternCount = 2;
};

// Draws the frame along the bitmap's edges, replacing the pixels it covers.
void DrawBorderFrame(TBitmap32& bitmap, const TBorderFrame& frame);

}  // namespace nimbra
