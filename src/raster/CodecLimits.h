// The sizes the picture readers accept. Photos come from anywhere, so a size field is believed
// only when the file could plausibly hold that many pixels; the checks run before anything of
// that size is allocated. Readers that reduce a picture while reading it (to its decode hint) are
// bounded by the sizes below; the others, which hold a picture whole, by the smaller
// kMaxWholePicturePixels, so that drawing any accepted picture stays within a few hundred
// megabytes.
#pragma once

#include <cstdint>
#include <string_view>

namespace nimbra {

// A 16384 × 16384 picture; its bitmap would take 1 GiB.
constexpr int64_t kMaxPicturePixels = int64_t{1} << 28;
// The longest side: the most JPEG, GIF and Targa can state, and far beyond any camera.
constexpr int64_t kMaxPictureSide = 65535;
// Photos, panoramas included, stay far inside this aspect; a picture more than kMaxAspect times
// as long as it is wide is refused once its long side exceeds kMaxSideOfAnyAspect, so that thin
// strips (borders, rulers, one-pixel gradients) of a screen's size stay readable.
constexpr int64_t kMaxAspect = 100;
constexpr int64_t kMaxSideOfAnyAspect = 4096;
// Any picture up to this many pixels (a 16 MiB bitmap) is decoded whatever its file size, so the
// file-size bounds below never refuse an ordinary picture that merely compresses well.
constexpr int64_t kPixelsAlwaysAllowed = int64_t{1} << 22;
// Readers that hold the whole picture at its full size (GIF, PCX, BMP) accept at most this many
// pixels: a 192 MiB bitmap, 50 megapixels, more than any of those formats holds in practice.
constexpr int64_t kMaxWholePicturePixels = int64_t{3} << 24;

// Raises ECodecError unless width and height are positive, each side is at most kMaxPictureSide,
// their product is at most kMaxPicturePixels, the aspect is within kMaxAspect (or the long side
// within kMaxSideOfAnyAspect) and, when maxPixelsPerByte is positive, the product is at most
// max(kPixelsAlwaysAllowed, dataBytes × maxPixelsPerByte). format names the reader in the message;
// too many pixels raise EPictureTooLarge, whose message is the user's.
void CheckPictureSize(std::string_view format, int64_t width, int64_t height, int64_t dataBytes,
                      int64_t maxPixelsPerByte);

// True when a width × height bitmap has pixels and stays within the sides and
// kMaxWholePicturePixels above: the most a picture effect lets a picture grow to, so that stored
// lengths of metres cost nothing but a skipped effect.
bool WithinWholePictureLimits(int64_t width, int64_t height);

// Raises EPictureTooLarge when a reader that holds the whole picture would need more than
// kMaxWholePicturePixels.
void CheckWholePictureSize(int64_t width, int64_t height);

// Raises ECodecError when a picture needs more bytes than its file has left.
void CheckDataSize(std::string_view format, int64_t neededBytes, int64_t availableBytes);

}  // namespace nimbra
