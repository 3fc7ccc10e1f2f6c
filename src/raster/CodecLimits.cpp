#include "raster/CodecLimits.h"

#include <algorithm>
#include <string>

#include "raster/CodecError.h"

namespace nimbra {

namespace {

std::string SizeText(int64_t width, int64_t height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

}  // namespace

EPictureTooLarge::EPictureTooLarge(int64_t pixels, int64_t maxPixels)
    : ECodecError("Bild zu groß (" + std::to_string((pixels + 999'999) / 1'000'000) +
                  " Megapixel, höchstens " + std::to_string(maxPixels / 1'000'000) + ")") {}

bool WithinWholePictureLimits(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxWholePicturePixels;
}

void CheckPictureSize(std::string_view format, int64_t width, int64_t height, int64_t dataBytes,
                      int64_t maxPixelsPerByte) {
  const std::string name(format);
  if (width <= 0 || height <= 0) {
    throw ECodecError(name + ": invalid picture size " + SizeText(width, height));
  }
  // Each side is checked first so that the product cannot overflow.
  if (width > kMaxPictureSide || height > kMaxPictureSide) {
    throw ECodecError(name + ": picture too large: " + SizeText(width, height));
  }
  if (width * height > kMaxPicturePixels) {
    throw EPictureTooLarge(width * height, kMaxPicturePixels);
  }
  const int64_t longSide = std::max(width, height);
  if (longSide > kMaxSideOfAnyAspect && longSide > kMaxAspect * std::min(width, height)) {
    throw ECodecError(name + ": picture too thin: " + SizeText(width, height));
  }
  if (maxPixelsPerByte > 0) {
    const int64_t bytes = std::max<int64_t>(dataBytes, 0);
    const int64_t plausible =
        bytes > kMaxPicturePixels / maxPixelsPerByte ? kMaxPicturePixels : bytes * maxPixelsPerByte;
    if (width * height > std::max(kPixelsAlwaysAllowed, plausible)) {
      throw ECodecError(name + ": " + std::to_string(bytes) + " bytes cannot hold a " +
                        SizeText(width, height) + " picture");
    }
  }
}

void CheckWholePictureSize(int64_t width, int64_t height) {
  if (width * height > kMaxWholePicturePixels) {
    throw EPictureTooLarge(width * height, kMaxWholePicturePixels);
  }
}

void CheckDataSize(std::string_view format, int64_t neededBytes, int64_t availableBytes) {
  if (neededBytes > availableBytes) {
    throw ECodecError(std::string(format) + ": the data ends early (" +
                      std::to_string(neededBytes) + " bytes needed, " +
                      std::to_string(availableBytes) + " present)");
  }
}

}  // namespace nimbra
