// How large a picture element needs its photo decoded. The design view shows the photo fitted
// into its box; rendering with effects works on a copy of twice that box, which is what the
// effects are made for; rendering without effects shows nothing but the photo at the size the
// geometric step scales it to, so a reader that can decode at a reduced size (a JPEG's DCT
// scaling) decodes for that size, and the step resamples the result straight to it. The sizes
// depend on the photo's proportions, which its header tells without decoding it (TPictureFile in
// raster/PictureFile.h).
#pragma once

#include <cstdint>

#include "raster/DecodeHint.h"
#include "raster/PictureSize.h"

namespace nimbra {

// The hint for a picture of the shown size in a box of boxWidth × boxHeight: factor times the box
// the picture fits into (factor 2 for the working copy of final rendering, 1 for the design view).
TDecodeHint FittedDecodeHint(const TPictureSize& size, int boxWidth, int boxHeight, int factor);

// What decides the size a picture element draws its photo at.
struct TPictureDrawing {
  int BoxWidth = 0;
  int BoxHeight = 0;
  bool Rendering = true;
  bool HasEffects = false;
  bool KeepAspect = true;
  // The angle set; with RandomRotation the angle is drawn for each rendering, later than the
  // photo may be decoded, so every angle it can take is allowed for.
  double Angle = 0;
  bool RandomRotation = false;
  bool AutoRotate = false;
  uint8_t FitMode = 1;
  // The photo covers the box (PictureCover.h): what is drawn is its part of the box's proportions.
  // With CoverCutsLittle only when that cuts little off it; otherwise it is fitted.
  bool Cover = false;
  bool CoverCutsLittle = false;
};

// The largest turn a random rotation draws, either way, in degrees.
inline constexpr double kRandomTurnLimit = 5;

// The decode hint for a photo of the shown size drawn so: the fitted box in the design view,
// twice it when effects follow, and otherwise the size the photo is scaled to (for a turn covering
// its unturned size too), with up to two fifths more kept for the geometric step's filter.
TDecodeHint DrawingDecodeHint(const TPictureSize& size, const TPictureDrawing& drawing);

}  // namespace nimbra
