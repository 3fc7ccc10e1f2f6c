// Writing a 32-bit bitmap as a picture file into a stream. Each raises ECodecError for an empty
// bitmap and lets the stream's EWriteError pass.
#pragma once

#include "raster/Bitmap32.h"

namespace nimbra {

class TStream;

// BMP with 24 bits per pixel (alpha dropped, the classic header every reader knows) or 32 bits
// (a version 4 header whose bit fields include alpha). Rows are stored bottom-up.
void SaveBmp(const TBitmap32& bitmap, TStream& stream, int bitsPerPixel = 24);

// PNG, 8 bits per sample: RGB when every pixel is opaque, RGBA otherwise.
void SavePng(const TBitmap32& bitmap, TStream& stream);

// Baseline JPEG of the colour channels (JPEG has no alpha); quality 1 to 100 (clamped). From 90
// on the colour is kept at full resolution instead of being halved in both directions.
void SaveJpeg(const TBitmap32& bitmap, TStream& stream, int quality = 90);

}  // namespace nimbra
