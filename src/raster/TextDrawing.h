// Text drawn straight into a bitmap's memory with Qt's text stack, laid out the way the templates'
// designers saw it: lines end at line breaks and, with word break, at the rectangle's width; each
// line is aligned left, centred or right on its own; the lines follow each other at the font's
// height (ascent plus descent, no extra leading); the text is clipped to the rectangle unless
// told not to, and drawn transparent over what lies below.
//
// The ampersand is drawn as written: the text drawing templates were designed with hid it and
// underlined the next letter, which turned file names and captions such as "Müller & Söhne" into
// something else.
//
// Qt's fonts need a GUI application in the process (see FontSupport.h); without one nothing is
// drawn and every text measures zero. Layouts and painters belong to the thread that made them,
// so pages may be drawn on several threads at once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "raster/Bitmap32.h"

namespace nimbra {

// Text format flags, with the values templates were designed with.
inline constexpr uint32_t kDrawTextCenter = 1;
inline constexpr uint32_t kDrawTextRight = 2;
// Centres a single line vertically; only with kDrawTextSingleLine.
inline constexpr uint32_t kDrawTextVCenter = 4;
inline constexpr uint32_t kDrawTextWordBreak = 16;
// Line breaks in the text do not start new lines.
inline constexpr uint32_t kDrawTextSingleLine = 32;
inline constexpr uint32_t kDrawTextNoClip = 256;
// Measures the text instead of drawing it.
inline constexpr uint32_t kDrawTextCalcRect = 1024;

struct TTextFont {
  std::string Face = "Arial";
  // In pixels: negative for the character height (the em), positive for the cell height
  // (ascent plus descent), 0 for a default height.
  int32_t Height = 0;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  TColor32 Colour = kColor32Black;
};

// The pixel size of the em a height stands for is limited to this; larger glyphs would only
// cost time, since no page is this tall.
inline constexpr int32_t kMaxTextPixelSize = 16384;

// One text laid out for a width and a format, to be measured and drawn as often as needed.
class TTextBlock {
 public:
  // The text is UTF-8; width is that of the rectangle the text is meant for (it matters only
  // with word break).
  TTextBlock(std::string_view text, const TTextFont& font, int32_t width, uint32_t format);
  ~TTextBlock();
  TTextBlock(const TTextBlock&) = delete;
  TTextBlock& operator=(const TTextBlock&) = delete;

  // The height the lines take: what measuring gives (0 without lines or without fonts).
  int32_t Height() const;
  int32_t LineCount() const;

  // Draws the lines into rect on the bitmap: the first line at its top (or, for a single line
  // with kDrawTextVCenter, centred in it), aligned as the format says, clipped to rect unless
  // the format has kDrawTextNoClip. Lines wholly outside the bitmap cost nothing. A format that
  // asks for measuring (kDrawTextCalcRect) draws nothing.
  void Draw(TBitmap32& bitmap, const TRect& rect) const;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

}  // namespace nimbra
