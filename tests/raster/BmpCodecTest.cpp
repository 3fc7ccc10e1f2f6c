#include <gtest/gtest.h>

#include <cstdint>

#include "CodecTestPictures.h"
#include "raster/BmpCodec.h"
#include "raster/PictureWriters.h"

namespace nimbra {
namespace {

using test::BmpBytes;
using test::DecodeAs;
using test::TBmpFile;

constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitFields = 3;

std::string BmpOf(const TBitmap32& picture, int bits) {
  TMemoryStream stream;
  SaveBmp(picture, stream, bits);
  return stream.ToString();
}

TBitmap32 Opaque(TBitmap32 picture) {
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x)
      picture.SetPixel(x, y, picture.Pixel(x, y) | 0xFF000000u);
  }
  return picture;
}

const std::vector<TColor32> kColours = {Color32(0, 0, 0), Color32(255, 255, 255),
                                        Color32(200, 10, 10), Color32(10, 200, 10),
                                        Color32(10, 10, 200)};

TEST(BmpCodecTest, WrittenPicturesComeBackWithTheirBitDepth) {
  const TBitmap32 picture = test::TestPattern(5, 3, true);
  const std::string bmp24 = BmpOf(picture, 24);
  // Bottom-up rows of three bytes padded to four: 54 + 3 × 16.
  ASSERT_EQ(bmp24.size(), 54u + 3 * 16);
  EXPECT_EQ(bmp24.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<uint8_t>(bmp24[54]), BlueComponent(picture.Pixel(0, 2)));
  EXPECT_EQ(DecodeAs(OpenBmpReader, bmp24), Opaque(picture));
  EXPECT_EQ(DecodeAs(OpenBmpReader, BmpOf(picture, 32)), picture);
  TMemoryStream sink;
  EXPECT_THROW(SaveBmp(TBitmap32(), sink), ECodecError);
  EXPECT_THROW(SaveBmp(picture, sink, 16), std::invalid_argument);
}

TEST(BmpCodecTest, PalettePicturesOfOneFourAndEightBits) {
  // 1 bit: 10 pixels in two bytes, padded to four; the bottom row first.
  const TBitmap32 mono = DecodeAs(OpenBmpReader, BmpBytes({.width = 10,
                                                           .height = 2,
                                                           .bits = 1,
                                                           .palette = {kColours[2], kColours[3]},
                                                           .pixels = std::string("\xC0\x40\0\0"
                                                                                 "\x00\x80\0\0",
                                                                                 8)}));
  EXPECT_EQ(mono.Pixel(0, 1), kColours[3]);
  EXPECT_EQ(mono.Pixel(2, 1), kColours[2]);
  EXPECT_EQ(mono.Pixel(9, 1), kColours[3]);
  EXPECT_EQ(mono.Pixel(8, 0), kColours[3]);
  EXPECT_EQ(mono.Pixel(9, 0), kColours[2]);

  // 4 bits, top-down; index 7 lies beyond the five stored colours and shows black.
  const TBitmap32 nibbles =
      DecodeAs(OpenBmpReader, BmpBytes({.width = 3,
                                        .height = -1,
                                        .bits = 4,
                                        .palette = kColours,
                                        .pixels = std::string("\x42\x70\0\0", 4)}));
  EXPECT_EQ(nibbles.Pixel(0, 0), kColours[4]);
  EXPECT_EQ(nibbles.Pixel(1, 0), kColours[2]);
  EXPECT_EQ(nibbles.Pixel(2, 0), kColor32Black);

  const TBitmap32 bytes =
      DecodeAs(OpenBmpReader, BmpBytes({.width = 3,
                                        .height = 1,
                                        .bits = 8,
                                        .palette = kColours,
                                        .pixels = std::string("\x01\x04\x02\0", 4)}));
  EXPECT_EQ(bytes.Pixel(0, 0), kColours[1]);
  EXPECT_EQ(bytes.Pixel(1, 0), kColours[4]);
  EXPECT_EQ(bytes.Pixel(2, 0), kColours[2]);

  // OS/2 1.x: a 12-byte header and three-byte palette entries, which always fill the table.
  std::vector<TColor32> full(256, kColours[1]);
  full[3] = kColours[3];
  const TBitmap32 os2 =
      DecodeAs(OpenBmpReader, BmpBytes({.headerSize = 12,
                                        .width = 2,
                                        .height = 1,
                                        .bits = 8,
                                        .palette = full,
                                        .pixels = std::string("\x03\x00\0\0", 4)}));
  EXPECT_EQ(os2.Pixel(0, 0), kColours[3]);
  EXPECT_EQ(os2.Pixel(1, 0), kColours[1]);
}

TEST(BmpCodecTest, SixteenAndThirtyTwoBitsWithAndWithoutBitFields) {
  // 5-5-5: 0x7C00 is pure red; 5-6-5 masks: 0x07E0 is pure green.
  const TBitmap32 rgb555 = DecodeAs(
      OpenBmpReader,
      BmpBytes(
          {.width = 2, .height = 1, .bits = 16, .pixels = std::string("\x00\x7C\x1F\x00", 4)}));
  EXPECT_EQ(rgb555.Pixel(0, 0), Color32(255, 0, 0));
  EXPECT_EQ(rgb555.Pixel(1, 0), Color32(0, 0, 255));
  const TBitmap32 rgb565 =
      DecodeAs(OpenBmpReader, BmpBytes({.width = 2,
                                        .height = 1,
                                        .bits = 16,
                                        .compression = kBitFields,
                                        .masks = {0xF800, 0x07E0, 0x001F},
                                        .pixels = std::string("\xE0\x07\x10\x84", 4)}));
  EXPECT_EQ(rgb565.Pixel(0, 0), Color32(0, 255, 0));
  // 0x8410: red 16 of 31, green 32 of 63, blue 16 of 31.
  EXPECT_EQ(rgb565.Pixel(1, 0), Color32(132, 130, 132));

  // A version 5 header with bit fields that include alpha, in an unusual order.
  const TBitmap32 withAlpha =
      DecodeAs(OpenBmpReader, BmpBytes({.headerSize = 124,
                                        .width = 1,
                                        .height = 1,
                                        .bits = 32,
                                        .compression = kBitFields,
                                        .masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
                                        .pixels = std::string("\x11\x22\x33\x44", 4)}));
  EXPECT_EQ(withAlpha.Pixel(0, 0), Color32(0x11, 0x22, 0x33, 0x44));
  // Without bit fields the fourth byte is unused, whatever it holds.
  const TBitmap32 plain =
      DecodeAs(OpenBmpReader, BmpBytes({.headerSize = 124,
                                        .width = 1,
                                        .height = 1,
                                        .bits = 32,
                                        .pixels = std::string("\x11\x22\x33\x44", 4)}));
  EXPECT_EQ(plain.Pixel(0, 0), Color32(0x33, 0x22, 0x11));
  // An alpha mask over bytes that are all 0 means a writer that did not mean it.
  const TBitmap32 unmeant =
      DecodeAs(OpenBmpReader, BmpBytes({.width = 1,
                                        .height = 1,
                                        .bits = 32,
                                        .compression = 6,
                                        .masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
                                        .pixels = std::string("\x11\x22\x33\x00", 4)}));
  EXPECT_EQ(unmeant.Pixel(0, 0), Color32(0x33, 0x22, 0x11));
}

TEST(BmpCodecTest, RunLengthEncodedPicturesWithEveryEscape) {
  // RLE8, 6 × 3, from the bottom row: a run, an absolute run of three (padded), a row end;
  // a move by (2, 1); a run; the end. Skipped pixels stay transparent.
  const std::string rle8 = std::string(
      "\x02\x01"
      "\x00\x03\x02\x03\x04\x00"
      "\x00\x00"
      "\x00\x02\x02\x01"
      "\x03\x02"
      "\x00\x01",
      18);
  const TBitmap32 eight = DecodeAs(OpenBmpReader, BmpBytes({.width = 6,
                                                            .height = 3,
                                                            .bits = 8,
                                                            .compression = kRle8,
                                                            .palette = kColours,
                                                            .pixels = rle8}));
  EXPECT_EQ(eight.Pixel(0, 2), kColours[1]);
  EXPECT_EQ(eight.Pixel(1, 2), kColours[1]);
  EXPECT_EQ(eight.Pixel(2, 2), kColours[2]);
  EXPECT_EQ(eight.Pixel(4, 2), kColours[4]);
  EXPECT_EQ(eight.Pixel(5, 2), kColor32Transparent);
  EXPECT_EQ(eight.Pixel(1, 1), kColor32Transparent);
  EXPECT_EQ(eight.Pixel(2, 0), kColours[2]);
  EXPECT_EQ(eight.Pixel(4, 0), kColours[2]);
  EXPECT_EQ(eight.Pixel(5, 0), kColor32Transparent);

  // RLE4, 6 × 1: a run of three alternating 1 and 2, then three absolute pixels 3, 4 and 1 in two
  // bytes, which need no padding.
  const std::string rle4 = std::string(
      "\x03\x12"
      "\x00\x03\x34\x10"
      "\x00\x01",
      8);
  const TBitmap32 four = DecodeAs(OpenBmpReader, BmpBytes({.width = 6,
                                                           .height = 1,
                                                           .bits = 4,
                                                           .compression = kRle4,
                                                           .palette = kColours,
                                                           .pixels = rle4}));
  EXPECT_EQ(four.Pixel(0, 0), kColours[1]);
  EXPECT_EQ(four.Pixel(1, 0), kColours[2]);
  EXPECT_EQ(four.Pixel(2, 0), kColours[1]);
  EXPECT_EQ(four.Pixel(3, 0), kColours[3]);
  EXPECT_EQ(four.Pixel(4, 0), kColours[4]);
  EXPECT_EQ(four.Pixel(5, 0), kColours[1]);
}

TEST(BmpCodecTest, TruncatedAndHostileFilesRaise) {
  // Rows of four 24-bit pixels need no padding, so every byte belongs to the picture.
  const std::string bmp = BmpOf(test::TestPattern(4, 6), 24);
  EXPECT_EQ(test::CutsThatDecode(OpenBmpReader, bmp, 0), std::vector<size_t>{});
  const std::string rle =
      BmpBytes({.width = 6,
                .height = 3,
                .bits = 8,
                .compression = kRle8,
                .palette = kColours,
                .pixels = std::string("\x06\x01\x00\x00\x06\x02\x00\x00\x06\x03\x00\x01", 12)});
  EXPECT_EQ(test::CutsThatDecode(OpenBmpReader, rle, 0), std::vector<size_t>{});

  const auto refused = [](const TBmpFile& f) {
    EXPECT_THROW(DecodeAs(OpenBmpReader, BmpBytes(f)), ECodecError) << f.width << "x" << f.height;
  };
  refused({.width = 10000, .height = 10000, .pixels = std::string(400, 'x')});
  refused({.width = 100000, .height = -100000, .pixels = "xxxx"});
  refused({.width = 0, .height = 1, .pixels = "xxxx"});
  refused({.width = 1, .height = INT32_MIN, .pixels = "xxxx"});
  refused({.width = 8000,
           .height = 8000,
           .bits = 8,
           .compression = kRle8,
           .palette = kColours,
           .pixels = std::string("\x00\x01", 2)});
  refused({.width = 2,
           .height = -2,
           .bits = 8,
           .compression = kRle8,
           .palette = kColours,
           .pixels = "\x00\x01"});
  refused({.width = 2, .height = 2, .bits = 24, .compression = kRle8, .pixels = "\x00\x01"});
  refused({.width = 1, .height = 1, .bits = 2, .pixels = "xxxx"});
  refused({.width = 1, .height = 1, .bits = 24, .compression = 4, .pixels = "xxxx"});
  refused({.width = 1, .height = 1, .bits = 24, .compression = kBitFields, .pixels = "xxxx"});
  // OS/2 2.x numbers Huffman coding 3; it is not bit fields there.
  refused({.headerSize = 64,
           .width = 1,
           .height = 1,
           .bits = 16,
           .compression = kBitFields,
           .pixels = "xxxx"});
  // A palette that runs past the end of the file.
  std::string shortPalette =
      BmpBytes({.width = 1, .height = 1, .bits = 8, .palette = kColours, .pixels = ""});
  shortPalette = shortPalette.substr(0, shortPalette.size() - 8);
  EXPECT_THROW(DecodeAs(OpenBmpReader, shortPalette), ECodecError);
  // A header longer than the file, and no signature.
  std::string longHeader = BmpOf(test::TestPattern(1, 1), 24);
  longHeader[14] = '\x7F';
  EXPECT_THROW(DecodeAs(OpenBmpReader, longHeader), ECodecError);
  EXPECT_THROW(DecodeAs(OpenBmpReader, "BA" + longHeader.substr(2)), ECodecError);
}

}  // namespace
}  // namespace nimbra
