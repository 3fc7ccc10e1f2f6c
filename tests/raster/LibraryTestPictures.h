// Pictures for the codec tests and the fuzz seeds, written with the format libraries' own
// encoders (giflib, libtiff, OpenJPEG, libpng, libjpeg), in the layouts our own writers do not
// produce: palettes, 16-bit samples, interlacing, CMYK, alpha in TIFF and JPEG 2000.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raster/Bitmap32.h"

namespace nimbra::test {

struct TGifPicture {
  int screenWidth = 0;
  int screenHeight = 0;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<TColor32> palette = {};  // padded to a power of two for the file
  std::vector<uint8_t> indices = {};   // width × height, row by row
  int transparent = -1;                // colour index, or -1
  bool interlaced = false;
  bool localPalette = false;  // the frame's own colour table instead of the screen's
};
std::string GifBytes(const TGifPicture& picture);

struct TTiffOptions {
  int compression = 1;  // COMPRESSION_NONE; 5 is LZW, 8 deflate
  bool alpha = false;   // a fourth, unassociated alpha sample
  int orientation = 1;  // the orientation tag; the pixels are written as given
  int rowsPerStrip = 2;
  int tileSize = 0;  // square tiles of this size (a multiple of 16) instead of strips
};
std::string TiffBytes(const TBitmap32& picture, const TTiffOptions& options);

// Lossless JPEG 2000: a JP2 file or a bare J2K code stream; with alpha a fourth component.
std::string Jpeg2000Bytes(const TBitmap32& picture, bool jp2, bool withAlpha);

struct TPngPicture {
  int width = 0;
  int height = 0;
  int colourType = 2;  // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  std::vector<std::string> rows = {};  // packed samples as PNG stores them (16 bits big-endian)
  std::vector<TColor32> palette = {};  // palette pictures: colours with their alpha (tRNS)
  bool withTransparentKey = false;     // grey and RGB pictures: the tRNS colour below
  uint16_t keyRed = 0, keyGreen = 0, keyBlue = 0;  // grey pictures use keyRed
  bool interlaced = false;
};
std::string PngBytes(const TPngPicture& picture);

struct TJpegPicture {
  int width = 0;
  int height = 0;
  int components = 3;        // 1 grey, 3 RGB, 4 CMYK (Adobe inverted: 255 = no ink)
  bool storeAsYcck = false;  // CMYK stored as YCCK instead of plain CMYK
  std::string samples = {};  // width × height × components
  int quality = 95;
  bool progressive = false;
};
std::string JpegBytes(const TJpegPicture& picture);

}  // namespace nimbra::test
