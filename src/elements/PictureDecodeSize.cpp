#include "elements/PictureDecodeSize.h"

#include <algorithm>
#include <cmath>

#include "elements/FitRect.h"
#include "elements/PictureCover.h"
#include "elements/PictureGeometry.h"

namespace nimbra {

namespace {

// The size FitAndTurn scales a turned photo to, rounded up and a pixel more, so that the
// geometric step never enlarges it.
TDecodeHint TurnedNeed(const TPictureSize& size, const TPictureDrawing& drawing, double angle) {
  const TTurnedScale scale = TurnedScaleOf(size.Width, size.Height, drawing.BoxWidth,
                                           drawing.BoxHeight, drawing.KeepAspect, angle,
                                           drawing.FitMode);
  const auto need = [](double length) {
    return static_cast<int>(std::min(std::ceil(length) + 1, 1.0e9));
  };
  return {need(size.Width * scale.Sx), need(size.Height * scale.Sy)};
}

// The geometric step resamples the photo to its size with its filter in one step; it gets what
// the reader's reduced decode yields, up to two fifths more than it draws: enough for the
// filter's result to stay close to one from the full-size photo (a page of 6000 × 4000 photos
// differs by at most 3, 0.3 on average, from one kept at half as much again), for less than half
// the memory of twice the size, so that the decode pool can hold one picture per thread.
TDecodeHint KeptForItsFilter(TDecodeHint need) {
  need.KeepFactor = 1.4;
  return need;
}

TDecodeHint Larger(const TDecodeHint& a, const TDecodeHint& b) {
  return {std::max(a.MinimumWidth, b.MinimumWidth), std::max(a.MinimumHeight, b.MinimumHeight)};
}

}  // namespace

TDecodeHint FittedDecodeHint(const TPictureSize& size, int boxWidth, int boxHeight, int factor) {
  const TPixelRect fitted = FitRect(size.Width, size.Height, {0, 0, boxWidth, boxHeight});
  return {factor * fitted.Width(), factor * fitted.Height()};
}

TDecodeHint DrawingDecodeHint(const TPictureSize& size, const TPictureDrawing& drawing) {
  if (drawing.Cover && (!drawing.CoverCutsLittle ||
                        CutsLittle(size.Width, size.Height, drawing.BoxWidth, drawing.BoxHeight))) {
    // The part drawn needs what a photo of its size would; the whole photo as much more as it
    // is larger.
    const TPixelRect part = CoverPart(size.Width, size.Height, drawing.BoxWidth, drawing.BoxHeight);
    TPictureDrawing fitted = drawing;
    fitted.Cover = false;
    TDecodeHint hint = DrawingDecodeHint({part.Width(), part.Height()}, fitted);
    const TPictureSize whole =
        CoveringDecodeSize(size.Width, size.Height, drawing.BoxWidth, drawing.BoxHeight,
                           hint.MinimumWidth, hint.MinimumHeight);
    hint.MinimumWidth = whole.Width;
    hint.MinimumHeight = whole.Height;
    return hint;
  }
  if (!drawing.Rendering) return FittedDecodeHint(size, drawing.BoxWidth, drawing.BoxHeight, 1);
  if (drawing.HasEffects) return FittedDecodeHint(size, drawing.BoxWidth, drawing.BoxHeight, 2);
  if (size.Width <= 0 || size.Height <= 0 || drawing.BoxWidth <= 0 || drawing.BoxHeight <= 0) {
    return {};
  }
  // Unturned, the photo is drawn fitted into the box, or stretched over it.
  TDecodeHint unturned{drawing.BoxWidth, drawing.BoxHeight};
  if (drawing.KeepAspect) unturned = FittedDecodeHint(size, drawing.BoxWidth, drawing.BoxHeight, 1);
  double angle = static_cast<float>(drawing.Angle);
  if (!drawing.RandomRotation && angle == 0 && drawing.AutoRotate &&
      TurningFillsBetter(size.Width, size.Height, drawing.BoxWidth, drawing.BoxHeight)) {
    angle = 90;
  }
  if (!drawing.RandomRotation && angle == 0) return KeptForItsFilter(unturned);
  // A turned photo is decoded covering its unturned size too, so that a small turn, which draws
  // it hardly smaller, decodes the same pixels whichever angle it is; a random turn covers both
  // of its largest angles.
  TDecodeHint need = unturned;
  if (drawing.RandomRotation) {
    for (const double limit : {-kRandomTurnLimit, kRandomTurnLimit}) {
      need = Larger(need, TurnedNeed(size, drawing, limit));
    }
  } else {
    need = Larger(need, TurnedNeed(size, drawing, angle));
  }
  return KeptForItsFilter(need);
}

}  // namespace nimbra
