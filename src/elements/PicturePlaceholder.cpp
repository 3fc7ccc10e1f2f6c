#include "elements/PicturePlaceholder.h"

#include <cstdlib>

#include "raster/DrawLine.h"

namespace nimbra {

namespace {

struct TDiagonal {
  int X1, Y1, X2, Y2;
};

// The white lines beside a diagonal: above and below a flat one, left and right of a steep one.
void DrawFlanks(TBitmap32& bitmap, const TDiagonal& d) {
  const bool flat = std::abs(d.X2 - d.X1) >= std::abs(d.Y2 - d.Y1);
  const int dx = flat ? 0 : 1;
  const int dy = flat ? 1 : 0;
  for (const int side : {-1, 1}) {
    DrawLine(bitmap, d.X1 + side * dx, d.Y1 + side * dy, d.X2 + side * dx, d.Y2 + side * dy,
             kColor32White, TDrawMode::Opaque);
  }
}

// DrawLine leaves out the end point; a diagonal reaches into its corner.
void DrawDiagonal(TBitmap32& bitmap, const TDiagonal& d) {
  DrawLine(bitmap, d.X1, d.Y1, d.X2, d.Y2, kColor32Black, TDrawMode::Opaque);
  bitmap.SetPixel(d.X2, d.Y2, kColor32Black);
}

}  // namespace

TBitmap32 PicturePlaceholder(int width, int height) {
  if (width <= 0 || height <= 0) return {};
  TBitmap32 bitmap(width, height);
  bitmap.Clear(kColor32White);
  const TDiagonal diagonals[] = {{0, 0, width - 1, height - 1}, {width - 1, 0, 0, height - 1}};
  // All flanks first, so that neither diagonal's white covers the other's black where they cross.
  for (const TDiagonal& d : diagonals) DrawFlanks(bitmap, d);
  for (const TDiagonal& d : diagonals) DrawDiagonal(bitmap, d);
  FrameRect(bitmap, bitmap.BoundsRect(), kColor32Black, TDrawMode::Opaque);
  return bitmap;
}

}  // namespace nimbra
