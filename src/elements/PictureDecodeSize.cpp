#include "elements/PictureDecodeSize.h"

#include "elements/FitRect.h"

namespace nimbra {

TDecodeHint FittedDecodeHint(const TPictureSize& size, int boxWidth, int boxHeight, int factor) {
  const TPixelRect fitted = FitRect(size.Width, size.Height, {0, 0, boxWidth, boxHeight});
  return {factor * fitted.Width(), factor * fitted.Height()};
}

}  // namespace nimbra
