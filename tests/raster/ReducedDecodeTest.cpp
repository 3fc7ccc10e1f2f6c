// Readers that reduce a picture to its decode hint while reading it (PNG, TIFF, Targa) yield what
// a full decode reduced afterwards would: rows reduced as stored and turned afterwards, interlaced
// PNGs from their odd rows alone, translucent pictures without bleeding. JPEG 2000 leaves out
// resolution levels instead.
#include <gtest/gtest.h>
#include <png.h>
#include <tiffio.h>

#include <string>
#include <vector>

#include "CodecTestPictures.h"
#include "LibraryTestPictures.h"
#include "raster/AreaReducer.h"
#include "raster/Jpeg2000Codec.h"
#include "raster/PngCodec.h"
#include "raster/TargaCodec.h"
#include "raster/TiffCodec.h"

namespace nimbra {
namespace {

using test::DecodeAs;

// Smooth colour and, if asked, alpha: reducing odd rows only then differs little from all rows.
TBitmap32 Smooth(int width, int height, bool withAlpha) {
  TBitmap32 picture(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const auto alpha =
          static_cast<uint8_t>(withAlpha ? 40 + (x + y) * 200 / (width + height) : 255);
      picture.SetPixel(x, y,
                       Color32(uint8_t(x * 255 / width), uint8_t(y * 255 / height),
                               uint8_t(128 + (x - y) * 100 / (width + height)), alpha));
    }
  }
  return picture;
}

TBitmap32 ReducedAfterwards(const TBitmap32& full, int width, int height) {
  TBitmap32 reduced(width, height);
  TAreaReducer reducer(full.Width(), full.Height(), reduced);
  for (int y = 0; y < full.Height(); ++y) reducer.AddRow(full.ScanLine(y));
  return reduced;
}

test::TPngPicture PngPictureOf(const TBitmap32& picture, bool interlaced) {
  test::TPngPicture png{.width = picture.Width(),
                        .height = picture.Height(),
                        .colourType = PNG_COLOR_TYPE_RGB_ALPHA,
                        .interlaced = interlaced};
  for (int y = 0; y < picture.Height(); ++y) {
    std::string row;
    for (int x = 0; x < picture.Width(); ++x) {
      const TColor32 c = picture.Pixel(x, y);
      row += {static_cast<char>(RedComponent(c)), static_cast<char>(GreenComponent(c)),
              static_cast<char>(BlueComponent(c)), static_cast<char>(AlphaComponent(c))};
    }
    png.rows.push_back(row);
  }
  return png;
}

struct TCase {
  std::string name;
  std::string bytes;
  TPictureReaderOpener open;
  TDecodeHint hint;
  // Only the odd rows of an interlaced picture are reduced; the rows between differ a little.
  int tolerance = 0;
};

TEST(ReducedDecodeTest, RowsReducedWhileReadingMatchAFullDecodeReducedAfterwards) {
  const TBitmap32 opaque = Smooth(120, 90, false);
  const TBitmap32 translucent = Smooth(120, 90, true);
  std::vector<TCase> cases;
  for (const bool interlaced : {false, true}) {
    const std::string png = test::PngBytes(PngPictureOf(translucent, interlaced));
    // An interlaced picture needing at most half its rows is reduced from its odd rows, else it
    // is read whole and reduced.
    cases.push_back({"png", png, OpenPngReader, {40, 30}, interlaced ? 8 : 0});
    cases.push_back({"png most rows", png, OpenPngReader, {100, 75}});
  }
  cases.push_back(
      {"tiff strips", test::TiffBytes(opaque, {.rowsPerStrip = 7}), OpenTiffReader, {50, 0}});
  cases.push_back({"tiff tiles",
                   test::TiffBytes(opaque, {.compression = 8, .tileSize = 32}),
                   OpenTiffReader,
                   {50, 0}});
  cases.push_back({"tiff turned",
                   test::TiffBytes(translucent, {.alpha = true, .orientation = 6}),
                   OpenTiffReader,
                   {30, 40}});
  for (const bool top : {false, true}) {
    for (const bool right : {false, true}) {
      for (const int type : {2, 10}) {
        const test::TTargaLayout layout{.imageType = type,
                                        .pixelBits = 32,
                                        .topToBottom = top,
                                        .rightToLeft = right,
                                        .alphaBits = 8};
        cases.push_back({"targa", test::TargaBytes(translucent, layout), OpenTargaReader, {33, 0}});
      }
    }
  }
  for (const TCase& c : cases) {
    const TBitmap32 full = DecodeAs(c.open, c.bytes, {});
    const TBitmap32 reduced = DecodeAs(c.open, c.bytes, c.hint);
    const TReducedSize expected =
        AreaReducedSize(full.Width(), full.Height(), c.hint.MinimumWidth, c.hint.MinimumHeight);
    ASSERT_EQ(reduced.Width(), expected.Width) << c.name;
    ASSERT_EQ(reduced.Height(), expected.Height) << c.name;
    EXPECT_LE(test::MaxChannelDifference(reduced,
                                         ReducedAfterwards(full, expected.Width, expected.Height)),
              c.tolerance)
        << c.name;
  }
}

TEST(ReducedDecodeTest, TargaAlphaThatIsNotMeantStaysOpaqueWhenReduced) {
  // Colours with an alpha channel that is all zero show opaque. Alpha that appears only in a
  // later stored row is meant: the transparent rows stored first (at the bottom) stay so.
  TBitmap32 unmeant = Smooth(60, 40, false);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 60; ++x) unmeant.SetPixel(x, y, unmeant.Pixel(x, y) & 0x00FFFFFFu);
  }
  TBitmap32 meantAbove = unmeant;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 60; ++x) meantAbove.SetPixel(x, y, meantAbove.Pixel(x, y) | 0xFF000000u);
  }
  const test::TTargaLayout layout{.imageType = 2, .pixelBits = 32, .alphaBits = 8};
  const TBitmap32 opaque = DecodeAs(OpenTargaReader, test::TargaBytes(unmeant, layout), {30, 20});
  EXPECT_EQ(opaque, ReducedAfterwards(Smooth(60, 40, false), 30, 20));
  const TBitmap32 half = DecodeAs(OpenTargaReader, test::TargaBytes(meantAbove, layout), {30, 20});
  EXPECT_EQ(half.Pixel(10, 3), opaque.Pixel(10, 3));
  EXPECT_EQ(AlphaComponent(half.Pixel(10, 16)), 0);
}

TEST(ReducedDecodeTest, JpegTwoThousandLeavesOutTheResolutionsTheHintDoesNotNeed) {
  // 128 × 96 has six resolution levels; a 30 × 20 hint is covered by a quarter (32 × 24), whose
  // wavelet low pass is close to the area mean.
  const TBitmap32 picture = Smooth(128, 96, true);
  const std::string jp2 = test::Jpeg2000Bytes(picture, true, true);
  const TBitmap32 quarter = DecodeAs(OpenJpeg2000Reader, jp2, {30, 20});
  ASSERT_EQ(quarter.Width(), 32);
  ASSERT_EQ(quarter.Height(), 24);
  EXPECT_LE(test::MaxChannelDifference(quarter, ReducedAfterwards(picture, 32, 24)), 8);
  EXPECT_EQ(DecodeAs(OpenJpeg2000Reader, jp2, {33, 20}).Width(), 64);
  EXPECT_EQ(DecodeAs(OpenJpeg2000Reader, jp2).Width(), 128);
}

}  // namespace
}  // namespace nimbra
