// WebP, HEIC and AVIF pictures written with the libraries' own encoders and read through the
// picture front end (chosen by content or extension, header first, then the pixels): colours,
// sizes, orientation, decode hints and damaged files; and the messages users see for files no
// reader knows and pictures beyond the size limit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CodecTestPictures.h"
#include "HeifWebpTestPictures.h"
#include "LargePictureFiles.h"
#include "TempFolder.h"
#include "raster/CodecError.h"
#include "raster/HeifCodec.h"
#include "raster/PictureFile.h"
#include "raster/PictureFormatRegistration.h"
#include "raster/WebpCodec.h"
#include "storage/FileAccess.h"

namespace nimbra {
namespace {

constexpr TColor32 kRed = test::kBlockColours[0];
constexpr TColor32 kGrey = 0xFF808080;

class HeifWebpCodecTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterPictureFormats(); }
  void TearDown() override { UnregisterPictureFormats(); }

  struct TDecoded {
    TPictureSize Shown;
    TBitmap32 Picture;
  };
  TDecoded Decode(const std::string& name, const std::string& bytes, const TDecodeHint& hint = {}) {
    TPictureFile file = TPictureFile::Open(access_, folder_.Write(name, bytes));
    const TPictureSize shown = file.ShownSize();
    return {shown, file.Decode(hint)};
  }

  // Decodes the file at full size, expecting the blocks of a 64 × 48 picture.
  void ExpectBlocks(const std::string& name, const std::string& bytes, int tolerance) {
    const TDecoded decoded = Decode(name, bytes);
    EXPECT_EQ(decoded.Shown, (TPictureSize{64, 48})) << name;
    ASSERT_EQ(decoded.Picture.Width(), 64) << name;
    ASSERT_EQ(decoded.Picture.Height(), 48) << name;
    EXPECT_LE(test::BlockColourError(decoded.Picture), tolerance) << name;
  }

  test::TempFolder folder_;
  TFileAccess access_;
};

TEST_F(HeifWebpCodecTest, ColourBlocksComeBackInEveryFormat) {
  const TBitmap32 blocks = test::ColourBlocks(64, 48);
  const std::string heic = test::HeifBytes(blocks, {});
  const std::string webp = test::WebpBytes(blocks, {});
  struct TCase {
    std::string name;
    std::string bytes;
    int tolerance;
  };
  const std::vector<TCase> cases = {
      {"lossless.webp", test::WebpBytes(blocks, {.lossless = true}), 0},
      {"lossy.webp", webp, 12},
      {"photo.heic", heic, 12},
      {"photo.avif", test::HeifBytes(blocks, {.av1 = true}), 12},
      // By content, whatever the name says.
      {"from-a-phone.jpg", heic, 12},
      {"no-extension", webp, 12},
      {"photo.heic", test::WebpBytes(blocks, {.lossless = true}), 0},
  };
  for (const TCase& c : cases) ExpectBlocks(c.name, c.bytes, c.tolerance);
  // Lossless WebP gives back every pixel.
  EXPECT_EQ(Decode("exact.webp", test::WebpBytes(blocks, {.lossless = true})).Picture, blocks);
}

TEST_F(HeifWebpCodecTest, PhotosAreTurnedUprightExactlyOnce) {
  // Each file holds the picture turned back and says how to turn it upright: WebP in an EXIF
  // chunk, HEIF in its transforms. A HEIF file's EXIF block names the turn too (cameras copy
  // it), which must not turn the picture a second time.
  const TBitmap32 upright = test::ColourBlocks(64, 48);
  struct TCase {
    std::string name;
    std::string bytes;
  };
  const std::vector<TCase> cases = {
      {"exif-6.webp", test::WebpBytes(upright, {.lossless = true, .exifOrientation = 6})},
      {"exif-8.webp", test::WebpBytes(upright, {.lossless = true, .exifOrientation = 8})},
      {"exif-3.webp", test::WebpBytes(upright, {.lossless = true, .exifOrientation = 3})},
      {"turned-6.heic", test::HeifBytes(upright, {.orientation = 6})},
      {"turned-6-exif-6.heic", test::HeifBytes(upright, {.orientation = 6, .exifOrientation = 6})},
      {"mirrored-2.heic", test::HeifBytes(upright, {.orientation = 2})},
      {"turned-8.avif", test::HeifBytes(upright, {.av1 = true, .orientation = 8})},
  };
  for (const TCase& c : cases) ExpectBlocks(c.name, c.bytes, 12);
}

TEST_F(HeifWebpCodecTest, DecodeHintsReduceWhileDecoding) {
  const TBitmap32 blocks = test::ColourBlocks(256, 192);
  // A grey thumbnail shows when the reader takes it instead of the picture; both are turned.
  TBitmap32 grey(256, 192);
  grey.Clear(kGrey);
  const std::string withThumbnail =
      test::HeifBytes(blocks, {.orientation = 6, .thumbnailSize = 96, .thumbnail = grey});
  struct TCase {
    std::string name;
    std::string bytes;
    TDecodeHint hint;
    TPictureSize decoded;
    TColor32 middle;  // of the top left block
  };
  const std::vector<TCase> cases = {
      {"lossy.webp", test::WebpBytes(blocks, {}), {64, 48}, {64, 48}, kRed},
      {"lossless.webp", test::WebpBytes(blocks, {.lossless = true}), {100, 10}, {100, 75}, kRed},
      {"turned.webp",
       test::WebpBytes(blocks, {.lossless = true, .exifOrientation = 6}),
       {64, 48},
       {64, 48},
       kRed},
      {"photo.avif", test::HeifBytes(blocks, {.av1 = true}), {64, 48}, {64, 48}, kRed},
      {"thumbnail.heic", withThumbnail, {64, 48}, {64, 48}, kGrey},
      {"too-small.heic", withThumbnail, {128, 96}, {128, 96}, kRed},
      {"no-hint.heic", withThumbnail, {}, {256, 192}, kRed},
  };
  for (const TCase& c : cases) {
    const TDecoded decoded = Decode(c.name, c.bytes, c.hint);
    EXPECT_EQ(decoded.Shown, (TPictureSize{256, 192})) << c.name;
    EXPECT_EQ((TPictureSize{decoded.Picture.Width(), decoded.Picture.Height()}), c.decoded)
        << c.name;
    EXPECT_LE(test::ChannelDifference(
                  decoded.Picture.Pixel(c.decoded.Width / 4, c.decoded.Height / 4), c.middle),
              12)
        << c.name;
  }
}

TEST_F(HeifWebpCodecTest, DamagedFilesAreRefusedCleanly) {
  const TBitmap32 blocks = test::ColourBlocks(64, 48);
  struct TCase {
    TPictureReaderOpener open;
    std::string bytes;
  };
  const std::vector<TCase> cases = {
      {OpenWebpReader, test::WebpBytes(blocks, {})},
      {OpenWebpReader, test::WebpBytes(blocks, {.lossless = true, .exifOrientation = 6})},
      {OpenHeifReader, test::HeifBytes(blocks, {})},
      {OpenHeifReader, test::HeifBytes(blocks, {.av1 = true, .thumbnailSize = 16})},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const TCase& c = cases[i];
    // Every cut file is refused with ECodecError (anything else fails the test).
    EXPECT_EQ(test::CutsThatDecode(c.open, c.bytes, 1), std::vector<size_t>{}) << i;
    // Bytes changed anywhere decode to the picture's size or are refused.
    for (size_t at = 0; at < c.bytes.size(); at += 7) {
      std::string damaged = c.bytes;
      damaged[at] = static_cast<char>(damaged[at] ^ 0xA5);
      try {
        const TBitmap32 decoded = test::DecodeAs(c.open, damaged);
        EXPECT_EQ(decoded.Width() * decoded.Height(), 64 * 48) << i << " at " << at;
      } catch (const ECodecError&) {
      }
    }
  }
  // Signatures followed by garbage.
  const std::string garbage(200, '\x5A');
  EXPECT_THROW(test::DecodeAs(OpenWebpReader, std::string("RIFF\xD0\0\0\0WEBPVP8 ", 16) + garbage),
               ECodecError);
  EXPECT_THROW(test::DecodeAs(OpenHeifReader, std::string("\0\0\0\x18", 4) + "ftypheic" + garbage),
               ECodecError);
}

TEST_F(HeifWebpCodecTest, MessagesSayWhatIsWrong) {
  const auto message = [&](const std::string& name, const std::string& bytes) -> std::string {
    try {
      TPictureFile::Open(access_, folder_.Write(name, bytes));
    } catch (const ECodecError& error) {
      return error.what();
    }
    return "accepted";
  };
  EXPECT_EQ(message("notes.txt", "keine Bilder hier"), "Format nicht unterstützt");
  EXPECT_EQ(message("photo.webp", "keine Bilder hier"), "Format nicht unterstützt");
  EXPECT_EQ(message("photo.heic", ""), "Format nicht unterstützt");
  EXPECT_EQ(message("huge.png", test::BlankPng(20000, 20000)),
            "Bild zu groß (400 Megapixel, höchstens 268)");
  // Readers that hold a picture whole accept fewer pixels.
  EXPECT_EQ(message("huge.bmp", test::BlankRunLengthBmp(16384, 16384)),
            "Bild zu groß (269 Megapixel, höchstens 50)");
}

}  // namespace
}  // namespace nimbra
