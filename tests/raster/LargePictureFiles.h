// Files that claim very large pictures in few bytes, written directly rather than through an
// encoder (which would need the whole picture in memory first): blank PNG, TIFF, Targa, JPEG and
// run-length BMP pictures of any size their formats can state. The tests and the picture-box
// benchmark share them.
#pragma once

#include <cstdint>
#include <string>

namespace nimbra::test {

// A zlib stream of `count` zero bytes, made in time proportional to its own size: deflate turns
// equal stretches of input after a full flush into equal bytes, so one stretch is repeated.
std::string ZeroDeflate(int64_t count);

// A black 1-bit grey PNG; interlaced pictures use the seven passes of Adam7.
std::string BlankPng(uint32_t width, uint32_t height, bool interlaced = false);

// An 8-bit grey TIFF, deflate-compressed in strips of rowsPerStrip rows.
std::string BlankTiff(uint32_t width, uint32_t height, uint32_t rowsPerStrip);

// A mid-grey run-length Targa (image type 11), stored bottom-up like most Targa files.
std::string BlankTarga(uint16_t width, uint16_t height);

// A black 8-bit grey JPEG whose blocks hold only a zero DC difference (one bit each): baseline,
// or progressive with only the first DC scan, which a decoder must still keep whole.
std::string BlankJpeg(uint16_t width, uint16_t height, bool progressive);

// A run-length BMP whose data ends at once (every pixel skipped, so transparent), padded with
// enough bytes that the file could plausibly hold the picture.
std::string BlankRunLengthBmp(int32_t width, int32_t height);

}  // namespace nimbra::test
