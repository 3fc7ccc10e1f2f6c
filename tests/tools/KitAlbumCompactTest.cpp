// nimbra-kit album keeps albums small: photos larger than --max-size are reduced once (JPEGs with
// their EXIF and IPTC segments as they were, their orientation still right), smaller ones and all
// of them with --keep-originals are packed byte for byte, and the album's program carries no
// debug information.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

#include "JpegTestData.h"
#include "KitRunner.h"
#include "TempFolder.h"
#include "nimbra-kit/AlbumCommandParts.h"
#include "nimbra-kit/AlbumPhotoReduction.h"
#include "nimbra-kit/CommandLine.h"
#include "raster/JpegCodec.h"
#include "raster/JpegSegments.h"
#include "raster/PictureWriters.h"
#include "raster/PngCodec.h"
#include "storage/MemoryStream.h"
#include "storage/Packager.h"

namespace nimbra::test {
namespace {

namespace fs = std::filesystem;

constexpr TColor32 kQuadrantColours[] = {Color32(220, 30, 30), Color32(30, 200, 40),
                                         Color32(40, 60, 230), Color32(240, 220, 30)};

// Left top, right top, left bottom, right bottom in their own colours, so that a turn shows.
TBitmap32 Quadrants(int width, int height, uint8_t alpha = 255) {
  TBitmap32 bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const TColor32 c = kQuadrantColours[(x * 2 / width) + 2 * (y * 2 / height)];
      bitmap.SetPixel(x, y, Color32(RedComponent(c), GreenComponent(c), BlueComponent(c), alpha));
    }
  }
  return bitmap;
}

std::string Jpeg(const TBitmap32& bitmap, const std::vector<TJpegSegment>& segments) {
  TMemoryStream stream;
  SaveJpeg(bitmap, stream, 90, segments);
  return stream.ToString();
}

std::vector<TJpegSegment> Metadata(int orientation) {
  TTiffDirectories exif;
  exif.First.push_back({0x0112, 3, 1, Words(false, 2, {static_cast<uint32_t>(orientation)}), {}});
  const std::string iptc =
      IptcPayload({PhotoshopResource(kIptcResource, "", IptcDataset(2, 120, "Am Meer"))});
  return {{kJpegApp1Marker, ExifPayload(exif)}, {kJpegApp13Marker, iptc}};
}

std::string FakeProgram(const TempFolder& folder) {
  const std::string program = folder.Write("nimbra", "#!/bin/sh\nexit 0\n");
  fs::permissions(program, fs::perms::owner_all);
  return program;
}

// The photos: a turned camera photo over the box, a small one within it, a PNG with transparency
// and an opaque BMP over it. Yields each file's bytes by name.
std::map<std::string, std::string> WritePhotos(const TempFolder& folder) {
  fs::create_directories(folder.File("photos"));
  std::map<std::string, std::string> photos;
  // Stored 1200 x 800 and turned by 90° clockwise (orientation 6): shown 800 x 1200.
  photos["turned.jpg"] = Jpeg(Quadrants(1200, 800), Metadata(6));
  photos["klein.jpg"] = Jpeg(Quadrants(300, 200), Metadata(3));
  TMemoryStream png;
  SavePng(Quadrants(1000, 500, 128), png);
  photos["glas.png"] = png.ToString();
  TMemoryStream bmp;
  SaveBmp(Quadrants(1000, 500), bmp);
  photos["bild.bmp"] = bmp.ToString();
  for (const auto& [name, bytes] : photos) folder.Write("photos/" + name, bytes);
  return photos;
}

// The photos of the album's package by name.
std::map<std::string, std::string> PackedPhotos(const std::string& album,
                                                const TempFolder& folder) {
  TPackager packager;
  std::map<std::string, std::string> photos;
  if (!packager.OpenExecutable(album)) return photos;
  for (int i = 0; i < packager.Directory().Count(); ++i) {
    const TPackageFileListItem& record = *packager.Directory().Items(i);
    if (record.FileName.starts_with("Album.") || record.FileName == "Oriel.cfg") continue;
    const std::string path = folder.File("packed-" + record.FileName);
    photos[record.FileName] = packager.Extract(record, path) ? TempFolder::Read(path) : "";
  }
  return photos;
}

struct TDecoded {
  TPictureSize Shown;
  TBitmap32 Pixels;
};

TDecoded Decode(const std::string& bytes, bool png = false) {
  TMemoryStream stream(bytes);
  const std::unique_ptr<TPictureReader> reader =
      png ? OpenPngReader(stream) : OpenJpegReader(stream);
  TDecoded decoded;
  decoded.Shown = reader->ReadHeader();
  decoded.Pixels = reader->Decode();
  return decoded;
}

// Which quadrant colour the upright picture shows near each corner, in reading order.
std::vector<int> CornerColours(const TBitmap32& picture) {
  std::vector<int> colours;
  for (const auto& [fx, fy] : {std::pair{0.2, 0.2}, {0.8, 0.2}, {0.2, 0.8}, {0.8, 0.8}}) {
    const TColor32 pixel = picture.Pixel(static_cast<int>(fx * picture.Width()),
                                         static_cast<int>(fy * picture.Height()));
    int nearest = -1;
    for (int i = 0; i < 4; ++i) {
      const TColor32 c = kQuadrantColours[i];
      if (std::abs(RedComponent(c) - RedComponent(pixel)) < 24 &&
          std::abs(GreenComponent(c) - GreenComponent(pixel)) < 24 &&
          std::abs(BlueComponent(c) - BlueComponent(pixel)) < 24) {
        nearest = i;
      }
    }
    colours.push_back(nearest);
  }
  return colours;
}

TEST(KitAlbumCompactTest, LargerPhotosAreReducedOnceAndTheOthersPackedAsTheyAre) {
  const TempFolder folder;
  const std::map<std::string, std::string> originals = WritePhotos(folder);
  const std::string album = folder.File("album");
  const KitResult result = RunKitCommand({"album", folder.File("photos"), "--layout", "vier", "-o",
                                          album, "--max-size", "400x400", "--exe",
                                          FakeProgram(folder)});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find("4 photos (3 reduced)"), std::string::npos) << result.out;
  const std::map<std::string, std::string> packed = PackedPhotos(album, folder);
  std::set<std::string> names;
  for (const auto& [name, bytes] : packed) names.insert(name);
  // The BMP became a JPEG, and the document names it so.
  EXPECT_EQ(names, (std::set<std::string>{"bild.jpg", "glas.png", "klein.jpg", "turned.jpg"}));
  ASSERT_EQ(packed.size(), 4u);

  EXPECT_EQ(packed.at("klein.jpg"), originals.at("klein.jpg"));

  // The camera photo: its metadata byte for byte, its orientation still turning it upright.
  TMemoryStream turned(packed.at("turned.jpg"));
  EXPECT_EQ(ReadJpegMetadataSegments(turned), Metadata(6));
  const TDecoded reduced = Decode(packed.at("turned.jpg"));
  EXPECT_EQ(reduced.Shown, (TPictureSize{267, 400}));
  const TDecoded original = Decode(originals.at("turned.jpg"));
  EXPECT_EQ(CornerColours(reduced.Pixels), CornerColours(original.Pixels));
  EXPECT_EQ(CornerColours(original.Pixels), (std::vector<int>{2, 0, 3, 1}));

  const TDecoded glass = Decode(packed.at("glas.png"), true);
  EXPECT_EQ(glass.Shown, (TPictureSize{400, 200}));
  EXPECT_EQ(AlphaComponent(glass.Pixels.Pixel(100, 50)), 128);
  const TDecoded picture = Decode(packed.at("bild.jpg"));
  EXPECT_EQ(picture.Shown, (TPictureSize{400, 200}));
  EXPECT_EQ(CornerColours(picture.Pixels), (std::vector<int>{0, 1, 2, 3}));
}

TEST(KitAlbumCompactTest, KeepOriginalsPacksEveryPhotoByteForByte) {
  const TempFolder folder;
  const std::map<std::string, std::string> originals = WritePhotos(folder);
  const std::string album = folder.File("album");
  const KitResult result =
      RunKitCommand({"album", folder.File("photos"), "--layout", "vier", "-o", album,
                     "--keep-originals", "--exe", FakeProgram(folder)});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(PackedPhotos(album, folder), originals);
}

TEST(KitAlbumCompactTest, PhotosFitTheBoxWithTheirProportions) {
  struct TCase {
    TPictureSize Shown, Box, Fitted;
  };
  const TCase cases[] = {
      {{6000, 4000}, {3840, 2160}, {3240, 2160}},  // a camera photo on a 4K screen
      {{4000, 6000}, {3840, 2160}, {1440, 2160}},  // held upright
      {{3840, 2160}, {3840, 2160}, {3840, 2160}},  // just fits
      {{100000, 3}, {3840, 2160}, {3840, 1}},      // never below a pixel
      {{800, 1200}, {400, 400}, {267, 400}},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(kit::FittedPhotoSize(c.Shown, c.Box), c.Fitted) << c.Shown.Width << "x"
                                                              << c.Shown.Height;
  }
  EXPECT_EQ(kit::ParseMaxPhotoSize("1920X1080"), (TPictureSize{1920, 1080}));
  for (const char* wrong : {"", "1920", "0x100", "axb", "1920x1080x3"}) {
    EXPECT_THROW(kit::ParseMaxPhotoSize(wrong), kit::EUsageError) << wrong;
  }
  const TempFolder folder;
  const KitResult both = RunKitCommand({"album", folder.Path().string(), "--layout", "vier", "-o",
                                        folder.File("a"), "--max-size", "800x600",
                                        "--keep-originals"});
  EXPECT_EQ(both.exitCode, 2) << both.err;
}

#ifdef NIMBRA_ALBUM_PROGRAM
std::string Said(const std::string& command) {
  std::string said;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return said;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) said += buffer;
  ::pclose(pipe);
  return said;
}

// The album's program still runs, with its debug information left behind beside nimbra.
TEST(KitAlbumCompactTest, TheAlbumsProgramHasNoDebugSections) {
  const TempFolder folder;
  WritePhotos(folder);
  const std::string album = folder.File("album");
  const KitResult result = RunKitCommand(
      {"album", folder.File("photos"), "--layout", "vier", "-o", album, "--exe",
       NIMBRA_ALBUM_PROGRAM});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::string sections = Said("readelf -S '" + album + "'");
  ASSERT_NE(sections.find(".text"), std::string::npos) << sections;
  EXPECT_EQ(sections.find(".debug_"), std::string::npos) << sections;
  EXPECT_NE(sections.find(".gnu_debuglink"), std::string::npos) << sections;
  EXPECT_NE(Said("'" + album + "' --version").find("Nimbra"), std::string::npos);
}
#endif

}  // namespace
}  // namespace nimbra::test
