// Writing a 32-bit bitmap as a picture file into a stream. Each raises ECodecError for an empty
// bitmap and lets the stream's EWriteError pass.
#pragma once

#include <vector>

#include "raster/Bitmap32.h"
#include "raster/JpegSegments.h"

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
// The same with the segments written after the start of the picture, in their order. Without an
// EXIF segment among them the file starts with a JFIF header, as SaveJpeg's do; with one it does
// not, since an EXIF file's APP1 belongs first.
void SaveJpeg(const TBitmap32& bitmap, TStream& stream, int quality,
              const std::vector<TJpegSegment>& segments);

}  // namespace nimbra
