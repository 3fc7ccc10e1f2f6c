// Photos of our own for the demo album and the album tests: gradients, a sun and hills in colours
// chosen per photo, with a flat block of a signature colour in the middle, so that a rendered page
// tells which photo landed where. Written through the raster library's own writers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raster/Bitmap32.h"

namespace nimbra::demo {

// One colour per photo of a set of count, as far apart from each other as the set allows.
TColor32 SignatureColor(int index, int count);

// A landscape-like picture of the size whose middle (a tenth of each side around the centre, at
// least 4 pixels) is the signature colour.
TBitmap32 PaintDemoPhoto(int width, int height, TColor32 signature, uint32_t seed);

// The file bytes of the picture as JPEG (quality 92) or PNG.
std::string EncodeJpeg(const TBitmap32& picture);
std::string EncodePng(const TBitmap32& picture);

// The JPEG with an EXIF segment saying it was taken at dateTime ("YYYY:MM:DD HH:MM:SS").
std::string WithCaptureTime(const std::string& jpeg, const std::string& dateTime);

struct TDemoPhoto {
  std::string RelativePath;  // folder/name
  std::string DateTime;      // empty for photos without EXIF data
  int Width = 0;
  int Height = 0;
  TColor32 Signature = 0;
};

// Writes the photos into the folder, making folders as needed; JPEG or PNG by the name's extension.
void WriteDemoPhotos(const std::string& folder, const std::vector<TDemoPhoto>& photos);

}  // namespace nimbra::demo
