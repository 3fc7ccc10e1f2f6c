// The sizes the picture readers accept. Photos come from anywhere, so a size field is believed
// only when the file could plausibly hold that many pixels; the checks run before anything of
// that size is allocated.
#pragma once

#include <cstdint>
#include <string_view>

namespace nimbra {

// A 16384 × 16384 picture; its bitmap takes 1 GiB.
constexpr int64_t kMaxPicturePixels = int64_t{1} << 28;
// Any picture up to this many pixels (a 16 MiB bitmap) is decoded whatever its file size, so the
// file-size bounds below never refuse an ordinary picture that merely compresses well.
constexpr int64_t kPixelsAlwaysAllowed = int64_t{1} << 22;

// Raises ECodecError unless width and height are positive, their product is at most
// kMaxPicturePixels and, when maxPixelsPerByte is positive, at most
// max(kPixelsAlwaysAllowed, dataBytes × maxPixelsPerByte). format names the reader in the message.
void CheckPictureSize(std::string_view format, int64_t width, int64_t height, int64_t dataBytes,
                      int64_t maxPixelsPerByte);

// Raises ECodecError when a picture needs more bytes than its file has left.
void CheckDataSize(std::string_view format, int64_t neededBytes, int64_t availableBytes);

}  // namespace nimbra
