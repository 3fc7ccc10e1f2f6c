// The orientation a camera records in a photo's EXIF block (tag 0x0112), and turning a picture
// decoded as stored into the picture as the photographer held the camera.
//
// Orientation values: 1 as stored; 2 mirrored left-right; 3 turned by 180°; 4 mirrored top-bottom;
// 5 transposed (mirrored along the main diagonal); 6 turned 90° clockwise; 7 mirrored along the
// other diagonal; 8 turned 90° counter-clockwise.
#pragma once

#include <cstddef>
#include <cstdint>

#include "raster/Bitmap32.h"

namespace nimbra {

constexpr int kOrientationAsStored = 1;

// The orientation of a JPEG APP1 segment's payload (starting with "Exif\0\0"); 1 when the segment
// is no EXIF block, names no orientation, names one outside 1 to 8, or is damaged.
int ExifOrientation(const uint8_t* app1, size_t length);
// The same for an EXIF block without its "Exif\0\0" prefix, starting at the TIFF header, as
// WebP files store it.
int TiffOrientation(const uint8_t* tiff, size_t length);

// True for the orientations that swap width and height (5 to 8).
constexpr bool OrientationSwapsAxes(int orientation) {
  return orientation >= 5 && orientation <= 8;
}

// Turns a bitmap decoded as stored into the upright picture; orientations outside 2 to 8 leave it
// as it is.
void ApplyExifOrientation(TBitmap32& bitmap, int orientation);

}  // namespace nimbra
