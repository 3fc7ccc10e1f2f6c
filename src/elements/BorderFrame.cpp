#include "elements/BorderFrame.h"

#include <algorithm>

#include "elements/PrintWizardPictureEffectSimpleBorder.h"
#include "raster/Blend.h"
#include "raster/DrawLine.h"
#include "templates/PageGeometry.h"

namespace nimbra {

namespace {

// Every line replaces what lies below it: where lines meet, the later one wins, and a
// translucent frame keeps one alpha throughout instead of growing denser at the corners.
constexpr TDrawMode kLineMode = TDrawMode::Opaque;

// How many nested one-pixel outlines of the common width fit into the bitmap. With sides of
// their own the common width may exceed half the bitmap, and outlines past the middle would be
// empty or turned inside out.
int NestedOutlines(const TBitmap32& bitmap, int width) {
  return std::min(width, (std::min(bitmap.Width(), bitmap.Height()) + 1) / 2);
}

// Style 0: the four sides filled. Without sides of their own these are the same pixels as the
// common width's nested outlines.
void DrawSolidFrame(TBitmap32& bitmap, const TBorderFrame& frame) {
  const int w = bitmap.Width();
  const int h = bitmap.Height();
  const TBorderSides& s = frame.Sides;
  FillRect(bitmap, {0, 0, s.Left, h}, frame.Color1, kLineMode);
  FillRect(bitmap, {w - s.Right, 0, w, h}, frame.Color1, kLineMode);
  FillRect(bitmap, {s.Left, 0, w - s.Right, s.Top}, frame.Color1, kLineMode);
  FillRect(bitmap, {s.Left, h - s.Bottom, w - s.Right, h}, frame.Color1, kLineMode);
}

// Pattern entries along one line, raised to an even number so that the line ends on the colour
// it starts with and neighbouring sides meet in the same colour.
int64_t EvenPatternLength(double entries) {
  const int64_t length = RoundHalfToEven(entries);
  return length % 2 == 0 ? length : length + 1;
}

// Style 1: every outline's lines carry the pattern from their start, the vertical lines first.
void DrawPatternFrame(TBitmap32& bitmap, const TBorderFrame& frame) {
  const int w = bitmap.Width();
  const int h = bitmap.Height();
  // A negative count would run the pattern backwards; there is no sensible frame in it.
  const double count = std::max(0, frame.PatternCount);
  const auto vertical = double(EvenPatternLength(double(h) / w * count / 4));
  const auto horizontal = double(EvenPatternLength(count / 4 * w / h));
  TLinePattern pattern{{frame.Color1, frame.Color2}, 0, true};
  for (int i = 0; i < NestedOutlines(bitmap, frame.Width); ++i) {
    pattern.Step = vertical / (h - 2 * i);
    DrawPatternedLine(bitmap, i, i, i, h - i, pattern, 0, kLineMode);
    DrawPatternedLine(bitmap, w - i - 1, i, w - i - 1, h - i, pattern, 0, kLineMode);
    pattern.Step = horizontal / (w - 2 * i);
    DrawPatternedLine(bitmap, i, i, w - i, i, pattern, 0, kLineMode);
    DrawPatternedLine(bitmap, i, h - i - 1, w - i, h - i - 1, pattern, 0, kLineMode);
  }
}

// Style 2: outline i in the colour i / width of the way from the outer to the inner colour.
void DrawFrameGradient(TBitmap32& bitmap, const TBorderFrame& frame) {
  const int w = bitmap.Width();
  const int h = bitmap.Height();
  for (int i = 0; i < NestedOutlines(bitmap, frame.Width); ++i) {
    const TColor32 colour = MixColors(frame.Color1, frame.Color2, double(i) / frame.Width);
    FrameRect(bitmap, {i, i, w - i, h - i}, colour, kLineMode);
  }
}

// Styles 3 (byColumns) and 4: one line per column or row in the colour of its position from the
// first colour to the second, across the whole bitmap where it runs inside a side border that
// it crosses, else over the two borders it passes through.
void DrawStraightGradient(TBitmap32& bitmap, const TBorderFrame& frame, bool byColumns) {
  const TBorderSides& s = frame.Sides;
  const int lines = byColumns ? bitmap.Width() : bitmap.Height();
  const int length = byColumns ? bitmap.Height() : bitmap.Width();
  const int first = byColumns ? s.Left : s.Top;
  const int last = byColumns ? s.Right : s.Bottom;
  const int head = byColumns ? s.Top : s.Left;
  const int tail = byColumns ? s.Bottom : s.Right;
  const auto line = [&](int at, int from, int to, TColor32 colour) {
    const TRect part = byColumns ? TRect{at, from, at + 1, to} : TRect{from, at, to, at + 1};
    FillRect(bitmap, part, colour, kLineMode);
  };
  for (int at = 0; at < lines; ++at) {
    const TColor32 colour = MixColors(frame.Color1, frame.Color2, double(at) / lines);
    if (at < first || at >= lines - last) {
      line(at, 0, length, colour);
    } else {
      line(at, 0, head, colour);
      line(at, length - tail, length, colour);
    }
  }
}

// Style 5: light from the top left. Where an outline's lines meet, the horizontal one (drawn
// last) wins, so the corners split diagonally.
void DrawRelief(TBitmap32& bitmap, const TBorderFrame& frame) {
  const int w = bitmap.Width();
  const int h = bitmap.Height();
  for (int i = 0; i < NestedOutlines(bitmap, frame.Width); ++i) {
    FillRect(bitmap, {i, i, i + 1, h - i}, frame.Color1, kLineMode);
    FillRect(bitmap, {w - i - 1, i, w - i, h - i}, frame.Color2, kLineMode);
    FillRect(bitmap, {i, i, w - i, i + 1}, frame.Color1, kLineMode);
    FillRect(bitmap, {i, h - i - 1, w - i, h - i}, frame.Color2, kLineMode);
  }
}

}  // namespace

void DrawBorderFrame(TBitmap32& bitmap, const TBorderFrame& frame) {
  if (bitmap.Empty()) return;
  switch (frame.Style) {
    case kBorderStylePattern:
      DrawPatternFrame(bitmap, frame);
      break;
    case kBorderStyleFrameGradient:
      DrawFrameGradient(bitmap, frame);
      break;
    case kBorderStyleHorizontalGradient:
      DrawStraightGradient(bitmap, frame, true);
      break;
    case kBorderStyleVerticalGradient:
      DrawStraightGradient(bitmap, frame, false);
      break;
    case kBorderStyleRelief:
      DrawRelief(bitmap, frame);
      break;
    default:
      // Style 0, and any stored style this program does not know.
      DrawSolidFrame(bitmap, frame);
      break;
  }
}

}  // namespace nimbra
