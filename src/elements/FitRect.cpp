#include "elements/FitRect.h"

#include <algorithm>

namespace nimbra {

namespace {

int32_t Truncated(double value) {
  // Boxes are bitmap sizes, far inside the 32-bit range; the clamp only guards stored nonsense.
  return static_cast<int32_t>(std::clamp(value, -2147483648.0, 2147483647.0));
}

}  // namespace

TPixelRect FitRect(int32_t sourceWidth, int32_t sourceHeight, const TPixelRect& box) {
  if (sourceWidth <= 0 || sourceHeight <= 0) return box;
  int32_t width = box.Width();
  int32_t height = Truncated(static_cast<double>(sourceHeight) / sourceWidth * box.Width());
  if (height > box.Height()) {
    height = box.Height();
    width = Truncated(static_cast<double>(sourceWidth) / sourceHeight * box.Height());
  }
  width = std::max(width, 1);
  height = std::max(height, 1);
  return {box.Left, box.Top, box.Left + width, box.Top + height};
}

TPixelRect FitRectCentered(int32_t sourceWidth, int32_t sourceHeight, const TPixelRect& box) {
  TPixelRect fitted = FitRect(sourceWidth, sourceHeight, box);
  const int32_t dx = (box.Width() - fitted.Width()) / 2;
  const int32_t dy = (box.Height() - fitted.Height()) / 2;
  fitted.Left += dx;
  fitted.Right += dx;
  fitted.Top += dy;
  fitted.Bottom += dy;
  return fitted;
}

}  // namespace nimbra
