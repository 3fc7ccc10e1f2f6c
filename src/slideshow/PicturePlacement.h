// Where a picture object's picture lands on the screen and how its pixels meet the background.
// Picture objects, the text kinds' free rectangle and the player all place pictures this way, so
// the rules live here as plain functions of numbers.
#pragma once

#include <cstdint>

#include "raster/Bitmap32.h"
#include "storage/CSFStreamWinTypes.h"

namespace nimbra {

// A rectangle of whole pixels; right and bottom lie just outside it.
struct TPixelRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  bool operator==(const TPixelRect&) const = default;
};

// Alignment of the picture inside its placement area, numbered as stored.
enum class TPictureAlignment : uint8_t {
  Centre = 0,
  TopLeft = 1,
  TopRight = 2,
  BottomLeft = 3,
  BottomRight = 4,
  TopCentre = 5,
  BottomCentre = 6,
  LeftCentre = 7,
  RightCentre = 8,
};

// How picture pixels are combined with what lies below them, numbered as stored.
enum class TCombineMode : uint8_t {
  Opaque = 0,
  AlphaBlend = 1,
  Add = 2,
  Subtract = 3,
  Multiply = 4,
  Darken = 5,
  Lighten = 6,
};

struct TPlacementSettings {
  bool KeepAspectRatio = true;
  uint8_t Alignment = 0;  // a TPictureAlignment; other values leave the picture unmoved
  TDoubleRect Rect{0, 0, 1, 1};
  bool Scale = true;
};

// Rounds to the nearest integer, halves to the even neighbour.
int32_t RoundHalfEven(double value);

// 1. The placement rectangle (fractions) mapped onto the screen rectangle.
TPixelRect PlacementArea(const TDoubleRect& fractions, const TPixelRect& screen);
// 1. to 3. The rectangle a picture of width × height occupies on the screen rectangle.
TPixelRect PlacePicture(int32_t width, int32_t height, const TPlacementSettings& settings,
                        const TPixelRect& screen);

// One picture pixel over one background pixel. The arithmetic modes work per colour channel and
// keep the picture pixel's alpha.
TColor32 CombinePixel(TColor32 picture, TColor32 background, TCombineMode mode);

}  // namespace nimbra
