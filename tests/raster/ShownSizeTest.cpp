// Reading a picture's header alone: every reader tells the size the picture is shown at, turned
// upright, and refuses up front what decoding refuses before it reads pixels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CodecTestPictures.h"
#include "LargePictureFiles.h"
#include "LibraryTestPictures.h"
#include "TempFolder.h"
#include "raster/PictureFile.h"
#include "raster/PictureFormatRegistration.h"
#include "raster/PictureWriters.h"
#include "storage/FileAccess.h"

namespace nimbra {
namespace {

// What the reader of an extension reads from the bytes' header; {0, 0} when it refuses them.
TPictureSize ShownSize(const std::string& extension, const std::string& bytes) {
  TMemoryStream stream(bytes);
  try {
    return test::ReaderFor(extension)(stream)->ReadHeader();
  } catch (const ECodecError&) {
    return {};
  }
}

struct TCase {
  std::string extension;
  std::string bytes;
  TPictureSize shown;
};

std::string Jpeg(const TBitmap32& picture) {
  TMemoryStream stream;
  SaveJpeg(picture, stream);
  return stream.ToString();
}

std::string Bmp(const TBitmap32& picture) {
  TMemoryStream stream;
  SaveBmp(picture, stream);
  return stream.ToString();
}

TEST(ShownSizeTest, EveryReaderTellsTheUprightSizeOrRefusesUpFront) {
  const TBitmap32 wide = test::TestPattern(48, 16);
  const std::string jpeg = Jpeg(wide);
  const size_t frame = jpeg.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  const std::vector<TCase> cases = {
      {"jpg", jpeg, {48, 16}},
      // A camera held upright stores the picture lying on its side.
      {"jpg", test::WithExifOrientation(jpeg, 6), {16, 48}},
      {"jpg", test::WithExifOrientation(jpeg, 8), {16, 48}},
      {"jpg", test::WithExifOrientation(jpeg, 3), {48, 16}},
      {"tif", test::TiffBytes(wide, {.orientation = 6}), {16, 48}},
      {"tif", test::TiffBytes(wide, {.tileSize = 16}), {48, 16}},
      {"png",
       test::PngBytes({.width = 3, .height = 2, .rows = {"012345678", "012345678"}}),
       {3, 2}},
      {"tga", test::TargaBytes(wide, {}), {48, 16}},
      {"pcx", test::PcxBytes(test::StripedPicture(48, 16, 4), {}), {48, 16}},
      {"bmp", Bmp(wide), {48, 16}},
      {"jp2", test::Jpeg2000Bytes(wide, true, false), {48, 16}},
      // A frame reaching beyond the logical screen widens it.
      {"gif",
       test::GifBytes({.screenWidth = 16,
                       .screenHeight = 8,
                       .left = 10,
                       .width = 10,
                       .height = 4,
                       .palette = {kColor32Black},
                       .indices = std::vector<uint8_t>(40, 0)}),
       {20, 8}},
      // Damaged or foreign headers.
      {"jpg", "", {}},
      {"jpg", jpeg.substr(0, frame + 6), {}},
      // libjpeg passes over bytes that are no marker, decoding as well.
      {"jpg", jpeg.substr(0, 2) + "junk" + jpeg.substr(2), {48, 16}},
      {"jpg", "\xFF\xD8\xFF\xE0\xFF\xF0JFIF", {}},
      {"jpg", Bmp(wide), {}},
      {"tif", jpeg, {}},
      // Sizes beyond the limits: too many pixels, a side too long, too thin; and more than a
      // reader that holds pictures whole may hold.
      {"png", test::BlankPng(268435456, 1), {}},
      {"png", test::BlankPng(1, 268435456), {}},
      {"png", test::BlankPng(20000, 20000), {}},
      {"png", test::BlankPng(70000, 2000), {}},
      {"png", test::BlankPng(9000, 80), {}},
      {"png", test::BlankPng(4000, 1), {4000, 1}},
      {"tif", test::BlankTiff(268435456, 1, 1), {}},
      {"bmp", test::BlankRunLengthBmp(16384, 16384), {}},
      {"bmp", test::BlankRunLengthBmp(6000, 4000), {6000, 4000}},
      // Large pictures the readers reduce while reading are accepted.
      {"png", test::BlankPng(16384, 16384), {16384, 16384}},
      {"tif", test::BlankTiff(16000, 16000, 16), {16000, 16000}},
      {"tga", test::BlankTarga(65535, 4096), {65535, 4096}},
      // A single strip that must be decoded whole is refused beyond its memory.
      {"tif", test::BlankTiff(16000, 16000, 16000), {}},
      // A baseline JPEG streams; one in several scans holds every coefficient, refused here.
      {"jpg", test::BlankJpeg(16000, 16000, false), {16000, 16000}},
      {"jpg", test::BlankJpeg(16000, 16000, true), {}},
      {"jpg", test::BlankJpeg(8000, 8000, true), {8000, 8000}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(ShownSize(cases[i].extension, cases[i].bytes), cases[i].shown)
        << i << " " << cases[i].extension;
  }
}

TEST(ShownSizeTest, ByNameTheReasonComesWithTheRefusal) {
  RegisterPictureFormats();
  test::TempFolder folder;
  TFileAccess access;
  EXPECT_EQ(ReadShownSize(access, folder.Write("photo.JPG", Jpeg(test::TestPattern(8, 6)))),
            (TPictureSize{8, 6}));
  const auto reason = [&](const std::string& name) -> std::string {
    try {
      ReadShownSize(access, name);
    } catch (const ECodecError& error) {
      return error.what();
    }
    return "accepted";
  };
  EXPECT_NE(reason(folder.Write("bomb.tif", test::BlankTiff(268435456, 1, 1))).find("too large"),
            std::string::npos);
  EXPECT_EQ(reason(folder.Write("text.xyz", "text")), "Format nicht unterstützt");
  EXPECT_NE(reason(folder.File("missing.png")), "accepted");
  UnregisterPictureFormats();
  EXPECT_NE(reason(folder.File("photo.JPG")), "accepted");
}

}  // namespace
}  // namespace nimbra
