#include "elements/PicturePlaceholder.h"

#include <algorithm>
#include <cstdlib>

#include "raster/Blend.h"
#include "raster/DrawLine.h"
#include "raster/TextDrawing.h"

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

// Large enough to read in a small box, never so large that a long name is mostly cut off.
int NameHeight(int boxHeight) {
  return std::clamp(boxHeight / 12, 11, 40);
}

void DrawName(TBitmap32& bitmap, std::string_view path) {
  const size_t slash = path.find_last_of("/\\|");
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  TTextFont font;
  font.Height = -NameHeight(bitmap.Height());
  constexpr uint32_t kFormat = kDrawTextCenter | kDrawTextSingleLine | kDrawTextVCenter;
  const TTextBlock text(name, font, bitmap.Width() - 2, kFormat);
  const int bandHeight = std::min(text.Height() + 4, bitmap.Height() - 2);
  const int top = (bitmap.Height() - bandHeight) / 2;
  const TRect band{1, top, bitmap.Width() - 1, top + bandHeight};
  FillRect(bitmap, band, kColor32White);
  text.Draw(bitmap, band);
}

}  // namespace

TBitmap32 PicturePlaceholder(int width, int height, std::string_view missingFile) {
  if (width <= 0 || height <= 0) return {};
  TBitmap32 bitmap(width, height);
  bitmap.Clear(kColor32White);
  const TDiagonal diagonals[] = {{0, 0, width - 1, height - 1}, {width - 1, 0, 0, height - 1}};
  // All flanks first, so that neither diagonal's white covers the other's black where they cross.
  for (const TDiagonal& d : diagonals) DrawFlanks(bitmap, d);
  for (const TDiagonal& d : diagonals) DrawDiagonal(bitmap, d);
  if (!missingFile.empty() && height > 2 && width > 2) DrawName(bitmap, missingFile);
  FrameRect(bitmap, bitmap.BoundsRect(), kColor32Black, TDrawMode::Opaque);
  return bitmap;
}

}  // namespace nimbra
