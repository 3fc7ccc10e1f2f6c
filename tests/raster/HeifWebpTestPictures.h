// WebP, HEIC and AVIF pictures for the codec tests and the fuzz seeds, written with the libraries'
// own encoders (libwebp, libheif with its HEVC and AV1 encoders).
#pragma once

#include <string>

#include "raster/Bitmap32.h"

namespace nimbra::test {

// Red, green / blue, yellow in four blocks: a picture turned or mirrored wrongly shows them
// elsewhere, and one turned by a quarter has its sides swapped.
constexpr TColor32 kBlockColours[] = {0xFFDC1E1E, 0xFF1EC83C, 0xFF283CD2, 0xFFE6D228};
TBitmap32 ColourBlocks(int width, int height);
// The largest difference of any colour channel.
int ChannelDifference(TColor32 a, TColor32 b);
// The largest channel difference of the blocks' middles from their colours.
int BlockColourError(const TBitmap32& bitmap);

struct TWebpOptions {
  bool lossless = false;
  int quality = 90;  // lossy only
  // An EXIF chunk naming it, in an extended (VP8X) file, with the picture (given upright)
  // stored turned back; 0: none.
  int exifOrientation = 0;
};
std::string WebpBytes(const TBitmap32& picture, const TWebpOptions& options);

struct THeifOptions {
  bool av1 = false;  // AVIF instead of HEIC
  int quality = 90;
  // The orientation the file's transforms turn the stored picture into (EXIF numbering); the
  // picture is given upright and stored turned back. 1: no transform.
  int orientation = 1;
  int exifOrientation = 0;   // an EXIF block naming it beside the picture; 0: none
  int thumbnailSize = 0;     // a thumbnail whose longer side is this; 0: none
  TBitmap32 thumbnail = {};  // what it shows (upright) when not the picture itself
};
std::string HeifBytes(const TBitmap32& picture, const THeifOptions& options);

}  // namespace nimbra::test
