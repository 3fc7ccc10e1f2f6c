// The geometric steps that turn a decoded photo into what a picture element draws: the filter
// choice, the reduced working copy, the quarter turn that fills a box better, and the scaling and
// turning into the element's box in each fit mode.
#pragma once

#include <cstdint>

#include "raster/Bitmap32.h"
#include "raster/PictureSize.h"
#include "raster/Resample.h"
#include "raster/Transform.h"

namespace nimbra {

// The filter for stretching a source size onto a target size: nearest neighbour in the design
// view (speed over looks), Mitchell when enlarging in both directions, Lanczos otherwise.
TResamplingFilter PictureFilter(int sourceWidth, int sourceHeight, int targetWidth,
                                int targetHeight, bool preview);

// True when rendering reduces a width × height picture to twice its fitted box: it is more than
// twice as wide or high as that box.
bool ReducesToWorkingCopy(int width, int height, int fittedWidth, int fittedHeight);

// What effects and the turn work on. When rendering, a picture more than twice as wide or high as
// its fitted box is reduced to twice that box; otherwise the picture itself is taken over. Either
// way the picture is left empty, so that at most one decoded copy stays alive.
TBitmap32 MakeWorkingCopy(TBitmap32& picture, int fittedWidth, int fittedHeight, bool rendering);

// True when a width × height picture turned by a quarter fills the box strictly better (a larger
// fitted area) than unturned.
bool TurningFillsBetter(int width, int height, int boxWidth, int boxHeight);

// Makes the outermost ring of pixels fully transparent, so that turned edges fade out smoothly.
void ClearBorderPixels(TBitmap32& bitmap);

// How FitAndTurn scales a width × height source turned by angle degrees (not 0): the size of its
// turned pixel-centre span and the scale of each axis.
struct TTurnedScale {
  double TurnedWidth = 0;
  double TurnedHeight = 0;
  double Sx = 0;
  double Sy = 0;
};
TTurnedScale TurnedScaleOf(int width, int height, int boxWidth, int boxHeight, bool keepAspect,
                           double angle, uint8_t fitMode);

struct TPictureGeometry {
  // Maps the source's pixels (its source rectangle is the whole source) onto the output.
  TAffineTransformation Transformation;
  // The source's size after scaling, before turning.
  int ScaledWidth = 0;
  int ScaledHeight = 0;
};

// How far from the turned picture's centre its pixels can still be seen (the target bitmap's
// farthest edges from the element's centre); 0 for no limit.
struct TPictureReach {
  int Width = 0;
  int Height = 0;
};

// An unturned picture to be stretched onto the page as it is drawn rather than into an output of
// its own first: the size it is stretched to and the filter.
struct TStraightStretch {
  bool Pending = false;
  int Width = 0;
  int Height = 0;
  TResamplingFilter Filter = TResamplingFilter::Nearest;
};

// What FitAndTurn does with an unturned width × height source, without drawing it: the output is
// ScaledWidth × ScaledHeight, the source stretched onto it whole.
TPictureGeometry UnturnedFit(int width, int height, int boxWidth, int boxHeight, bool keepAspect,
                             TPictureSize shape = {});

// Scales source into a boxWidth × boxHeight box and turns it by angle degrees, writing the result
// into output (resized to fit it). With keepAspect the picture is scaled uniformly. fitMode
// decides the scale and size of a turned picture: 0 and 1 keep its turned bounds inside the box
// (0 with an output of exactly the box, 1 with an output of the turned bounds, never larger than
// the box), 2 scales it as if unturned, so that its corners may leave the box; any other mode
// yields an empty output. A turned source loses its border pixels to transparency. The
// transformation's source rectangle is the source's area in pixel-centre coordinates, so that its
// transformed bounds lie evenly about the turned picture. A turned output more than twice the
// reach wide or high is cut evenly on both sides down to that, and the transformation is moved
// along, so that everything within the reach lands where it would have: fit mode 2 without the
// aspect shears a long, thin picture into an output far larger than any page. An unturned source
// is fitted by the proportions of shape where it has a size (the photo a reduced decode came
// from), else by its own.
TPictureGeometry FitAndTurn(TBitmap32& source, TBitmap32& output, int boxWidth, int boxHeight,
                            bool keepAspect, double angle, uint8_t fitMode,
                            TResamplingFilter filter, TPictureReach reach = {},
                            TPictureSize shape = {});

}  // namespace nimbra
