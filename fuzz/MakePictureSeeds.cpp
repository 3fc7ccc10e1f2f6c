// Writes the seed corpora of the picture fuzz targets, made with the project's own writers and the
// test pictures' encoders (no picture file comes from elsewhere):
//   MakePictureSeeds fuzz/corpus
// writes fuzz/corpus/{TargaFuzzer,PcxFuzzer,BmpFuzzer,WebpFuzzer,HeifFuzzer,PictureDecoderFuzzer,
// PictureBoxFuzzer}/*
// (existing files of the same name are replaced; other files, such as reproducers of fixed bugs,
// are left alone).
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <string>

#include "CodecTestPictures.h"
#include "HeifWebpTestPictures.h"
#include "LibraryTestPictures.h"
#include "PictureBoxFuzzInput.h"
#include "raster/PictureFormatRegistration.h"
#include "raster/PictureWriters.h"

namespace nimbra::fuzz {

namespace {

namespace fs = std::filesystem;
using test::TBmpFile;

constexpr size_t kMaxSeedSize = 4096;

void Save(const fs::path& folder, const std::string& name, const std::string& bytes) {
  if (bytes.size() > kMaxSeedSize)
    throw std::runtime_error(name + " is larger than a seed should be");
  fs::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + (folder / name).string());
}

std::string Written(const std::function<void(TStream&)>& write) {
  TMemoryStream stream;
  write(stream);
  return stream.ToString();
}

// The file cut in half, and with its size fields made large (about 4000 pixels each, well within
// the absolute limits, so that the checks against the file's size have to refuse it), as starting
// points for the fuzzer.
void SaveWithVariants(const fs::path& folder, const std::string& name, const std::string& bytes,
                      std::initializer_list<size_t> hugeAt = {}) {
  Save(folder, name, bytes);
  Save(folder, "cut-" + name, bytes.substr(0, bytes.size() / 2));
  if (hugeAt.size() == 0) return;
  std::string huge = bytes;
  for (const size_t at : hugeAt) huge[at] = '\x0F';
  Save(folder, "huge-" + name, huge);
}

void WriteTargaSeeds(const fs::path& folder) {
  const TBitmap32 pattern = test::TestPattern(8, 6, true);
  const TBitmap32 stripes = test::StripedPicture(9, 6, 4);
  // Width and height lie at bytes 12 to 15; their high bytes are made large.
  SaveWithVariants(folder, "true-colour-32.tga",
                   test::TargaBytes(pattern, {.imageType = 2, .pixelBits = 32, .alphaBits = 8}),
                   {13, 15});
  SaveWithVariants(
      folder, "rle-24-top-right.tga",
      test::TargaBytes(stripes, {.imageType = 10, .topToBottom = true, .rightToLeft = true}),
      {13, 15});
  SaveWithVariants(folder, "mapped-16.tga",
                   test::TargaBytes(stripes, {.imageType = 1, .pixelBits = 8, .mapEntryBits = 16}),
                   {13, 15});
  SaveWithVariants(
      folder, "rle-mapped-32.tga",
      test::TargaBytes(stripes,
                       {.imageType = 9, .pixelBits = 16, .mapEntryBits = 32, .mapFirst = 2}));
  SaveWithVariants(folder, "grey-alpha.tga",
                   test::TargaBytes(stripes, {.imageType = 11, .pixelBits = 16}));
  SaveWithVariants(folder, "true-colour-16.tga",
                   test::TargaBytes(pattern, {.imageType = 2, .pixelBits = 16, .alphaBits = 1}));
}

void WritePcxSeeds(const fs::path& folder) {
  const TBitmap32 stripes = test::StripedPicture(10, 5, 6);
  TBitmap32 blackAndWhite(12, 4);
  for (int i = 0; i < 48; ++i)
    blackAndWhite.SetPixel(i % 12, i / 12, i % 5 ? kColor32White : kColor32Black);
  // xMax and yMax lie at bytes 8 to 11; their high bytes are made large.
  SaveWithVariants(folder, "palette-256.pcx",
                   test::PcxBytes(stripes, {.bitsPerPixel = 8, .planes = 1}), {9, 11});
  SaveWithVariants(folder, "rgb.pcx",
                   test::PcxBytes(test::TestPattern(7, 5), {.bitsPerPixel = 8, .planes = 3}),
                   {9, 11});
  SaveWithVariants(folder, "rgba-raw.pcx",
                   test::PcxBytes(test::TestPattern(5, 4, true),
                                  {.bitsPerPixel = 8, .planes = 4, .runLength = false}));
  SaveWithVariants(folder, "planes-16.pcx",
                   test::PcxBytes(stripes, {.bitsPerPixel = 1, .planes = 4}));
  SaveWithVariants(folder, "mono.pcx",
                   test::PcxBytes(blackAndWhite, {.bitsPerPixel = 1, .planes = 1}));
}

void WriteBmpSeeds(const fs::path& folder) {
  const TBitmap32 pattern = test::TestPattern(6, 4, true);
  const std::vector<TColor32> palette = test::Palette(test::StripedPicture(4, 4, 4), 16);
  // Width and height lie at bytes 18 to 25; their second bytes are made large.
  SaveWithVariants(folder, "rgb-24.bmp", Written([&](TStream& s) { SaveBmp(pattern, s, 24); }),
                   {19, 23});
  SaveWithVariants(folder, "bitfields-32.bmp",
                   Written([&](TStream& s) { SaveBmp(pattern, s, 32); }), {19, 23});
  SaveWithVariants(folder, "palette-1.bmp",
                   test::BmpBytes({.width = 10,
                                   .height = 2,
                                   .bits = 1,
                                   .palette = {palette[0], palette[1]},
                                   .pixels = std::string("\xC0\x40\0\0\x00\x80\0\0", 8)}));
  SaveWithVariants(folder, "palette-4-top-down.bmp",
                   test::BmpBytes({.width = 3,
                                   .height = -2,
                                   .bits = 4,
                                   .palette = palette,
                                   .pixels = std::string("\x12\x30\0\0\x21\x00\0\0", 8)}));
  SaveWithVariants(folder, "os2-8.bmp",
                   test::BmpBytes({.headerSize = 12,
                                   .width = 2,
                                   .height = 1,
                                   .bits = 8,
                                   .palette = std::vector<TColor32>(256, palette[2]),
                                   .pixels = std::string("\x01\x02\0\0", 4)}));
  SaveWithVariants(folder, "bitfields-565.bmp",
                   test::BmpBytes({.width = 2,
                                   .height = 1,
                                   .bits = 16,
                                   .compression = 3,
                                   .masks = {0xF800, 0x07E0, 0x001F},
                                   .pixels = std::string("\xE0\x07\x10\x84", 4)}));
  SaveWithVariants(folder, "rle-8.bmp",
                   test::BmpBytes({.width = 6,
                                   .height = 3,
                                   .bits = 8,
                                   .compression = 1,
                                   .palette = palette,
                                   .pixels = std::string("\x02\x01\x00\x03\x02\x03\x01\x00\x00\x00"
                                                         "\x00\x02\x02\x01\x03\x02\x00\x01",
                                                         18)}),
                   {19, 23});
  SaveWithVariants(folder, "rle-4.bmp",
                   test::BmpBytes({.width = 6,
                                   .height = 1,
                                   .bits = 4,
                                   .compression = 2,
                                   .palette = palette,
                                   .pixels = std::string("\x03\x12\x00\x03\x34\x10\x00\x01", 8)}));
}

// The hint byte in front of the file, as WebpFuzzer and HeifFuzzer read it.
std::string HintedInput(uint8_t hint, const std::string& file) {
  return std::string(1, static_cast<char>(hint)) + file;
}

void WriteWebpSeeds(const fs::path& folder) {
  const TBitmap32 pattern = test::TestPattern(16, 12);
  const TBitmap32 translucent = test::TestPattern(12, 8, true);
  const std::string lossy = test::WebpBytes(pattern, {.quality = 60});
  Save(folder, "lossy.webp", HintedInput(0, lossy));
  Save(folder, "lossy-scaled.webp", HintedInput(5, lossy));
  Save(folder, "cut-lossy.webp", HintedInput(0, lossy.substr(0, lossy.size() / 2)));
  Save(folder, "lossless-alpha.webp",
       HintedInput(0, test::WebpBytes(translucent, {.lossless = true})));
  Save(folder, "lossy-alpha.webp", HintedInput(3, test::WebpBytes(translucent, {})));
  Save(folder, "exif-6.webp",
       HintedInput(4, test::WebpBytes(pattern, {.lossless = true, .exifOrientation = 6})));
}

void WriteHeifSeeds(const fs::path& folder) {
  const TBitmap32 pattern = test::TestPattern(16, 12);
  const std::string heic = test::HeifBytes(pattern, {.quality = 50});
  Save(folder, "photo.heic", HintedInput(0, heic));
  Save(folder, "cut-photo.heic", HintedInput(0, heic.substr(0, heic.size() / 2)));
  Save(folder, "turned.heic", HintedInput(0, test::HeifBytes(pattern, {.orientation = 6})));
  Save(folder, "photo.avif", HintedInput(0, test::HeifBytes(pattern, {.av1 = true})));
  Save(folder, "thumbnail.avif",
       HintedInput(4, test::HeifBytes(test::TestPattern(32, 24),
                                      {.av1 = true, .orientation = 8, .thumbnailSize = 8})));
}

uint8_t ReaderIndex(std::string_view extension) {
  const auto readers = PictureReaders();
  for (size_t i = 0; i < readers.size(); ++i) {
    if (readers[i].Extension == extension) return static_cast<uint8_t>(i);
  }
  throw std::runtime_error("no reader for " + std::string(extension));
}

// The fuzz input of PictureDecoderFuzzer: the reader's index, a hint byte, the file.
std::string DecoderInput(std::string_view extension, uint8_t hint, const std::string& file) {
  return std::string{static_cast<char>(ReaderIndex(extension)), static_cast<char>(hint)} + file;
}

void WriteDecoderSeeds(const fs::path& folder) {
  const TBitmap32 pattern = test::TestPattern(16, 12);
  const TBitmap32 stripes = test::StripedPicture(16, 12, 4);
  const std::string jpeg = Written([&](TStream& s) { SaveJpeg(pattern, s, 80); });
  Save(folder, "jpeg.bin", DecoderInput("jpg", 0, jpeg));
  Save(folder, "jpeg-hint.bin", DecoderInput("jpg", 4, test::WithExifOrientation(jpeg, 6)));
  std::string progressive;
  for (int i = 0; i < 16 * 8; ++i)
    progressive += std::string{static_cast<char>(i), 40, static_cast<char>(200 - i)};
  Save(folder, "jpeg-progressive.bin",
       DecoderInput("jpeg", 3,
                    test::JpegBytes(
                        {.width = 16, .height = 8, .samples = progressive, .progressive = true})));
  Save(folder, "png.bin", DecoderInput("png", 0, Written([&](TStream& s) {
                                         SavePng(test::TestPattern(8, 6, true), s);
                                       })));
  test::TPngPicture interlaced{
      .width = 4, .height = 4, .colourType = 0, .bitDepth = 2, .interlaced = true};
  interlaced.rows = {"\x1B", "\xE4", "\x1B", "\xE4"};
  Save(folder, "png-interlaced-grey.bin", DecoderInput("png", 0, test::PngBytes(interlaced)));
  Save(folder, "tiff-lzw.bin",
       DecoderInput("tif", 0, test::TiffBytes(pattern, {.compression = 5})));
  Save(folder, "tiff-alpha.bin",
       DecoderInput(
           "tiff", 0,
           test::TiffBytes(test::TestPattern(6, 4, true), {.alpha = true, .orientation = 8})));
  std::vector<uint8_t> indices;
  for (int i = 0; i < 16 * 12; ++i) indices.push_back(static_cast<uint8_t>(i % 5));
  Save(folder, "gif.bin",
       DecoderInput("gif", 0,
                    test::GifBytes({.screenWidth = 18,
                                    .screenHeight = 14,
                                    .left = 1,
                                    .top = 1,
                                    .width = 16,
                                    .height = 12,
                                    .palette = test::Palette(test::StripedPicture(15, 1, 5), 8),
                                    .indices = indices,
                                    .transparent = 2,
                                    .interlaced = true})));
  Save(folder, "targa.bin", DecoderInput("tga", 0, test::TargaBytes(stripes, {.imageType = 10})));
  Save(folder, "pcx.bin",
       DecoderInput(
           "pcx", 0,
           test::PcxBytes(test::StripedPicture(6, 4, 3), {.bitsPerPixel = 8, .planes = 3})));
  Save(folder, "bmp.bin",
       DecoderInput("bmp", 0, Written([&](TStream& s) { SaveBmp(stripes, s, 24); })));
  Save(folder, "jp2.bin",
       DecoderInput("jp2", 0, test::Jpeg2000Bytes(test::TestPattern(8, 8), true, true)));
  Save(folder, "j2k.bin",
       DecoderInput("j2k", 0, test::Jpeg2000Bytes(test::TestPattern(8, 8), false, false)));
  Save(folder, "webp.bin", DecoderInput("webp", 3, test::WebpBytes(pattern, {.quality = 60})));
  Save(folder, "heic.bin", DecoderInput("heic", 0, test::HeifBytes(pattern, {.quality = 50})));
  Save(folder, "avif.bin", DecoderInput("avif", 0, test::HeifBytes(pattern, {.av1 = true})));
}

// The fuzz input of PictureBoxFuzzer: how the picture is drawn, then the file.
std::string BoxInput(std::string_view extension, TPictureBoxHeader header,
                     const std::string& file) {
  header.Reader = ReaderIndex(extension);
  return header.Bytes() + file;
}

// Every reader once, each drawn another way: unturned with and without the aspect, turned in each
// fit mode and in none, turned automatically, reduced to the working copy, in the design view, and
// a picture 200 times wider than high in a box of two pixels.
void WriteBoxSeeds(const fs::path& folder) {
  const TBitmap32 pattern = test::TestPattern(16, 12);
  const TBitmap32 stripes = test::StripedPicture(16, 12, 4);
  Save(folder, "jpeg-keep-aspect.bin",
       BoxInput("jpg", {.BoxWidth = 8, .BoxHeight = 8, .KeepAspect = true},
                Written([&](TStream& s) { SaveJpeg(pattern, s, 80); })));
  Save(folder, "png-turned-box.bin",
       BoxInput("png", {.BoxWidth = 20, .BoxHeight = 20, .FitMode = 0, .Angle = 30},
                Written([&](TStream& s) { SavePng(test::TestPattern(8, 6, true), s); })));
  Save(folder, "targa-turned-bounds.bin",
       BoxInput("tga",
                {.BoxWidth = 24, .BoxHeight = 10, .KeepAspect = true, .FitMode = 1, .Angle = -45},
                test::TargaBytes(stripes, {.imageType = 10})));
  Save(folder, "bmp-as-unturned.bin",
       BoxInput("bmp", {.BoxWidth = 12, .BoxHeight = 9, .FitMode = 2, .Angle = 90},
                Written([&](TStream& s) { SaveBmp(stripes, s, 24); })));
  std::vector<uint8_t> indices;
  for (int i = 0; i < 16 * 12; ++i) indices.push_back(static_cast<uint8_t>(i % 5));
  Save(folder, "gif-auto-turn.bin",
       BoxInput("gif", {.BoxWidth = 4, .BoxHeight = 30, .KeepAspect = true, .AutoRotate = true},
                test::GifBytes({.screenWidth = 16,
                                .screenHeight = 12,
                                .width = 16,
                                .height = 12,
                                .palette = test::Palette(test::StripedPicture(15, 1, 5), 8),
                                .indices = indices})));
  Save(folder, "tiff-working-copy.bin",
       BoxInput("tif", {.BoxWidth = 3, .BoxHeight = 3, .KeepAspect = true, .HasEffects = true},
                test::TiffBytes(pattern, {.compression = 5})));
  Save(folder, "pcx-design-view.bin",
       BoxInput("pcx", {.BoxWidth = 40, .BoxHeight = 30, .Preview = true, .Angle = 15},
                test::PcxBytes(test::StripedPicture(6, 4, 3), {.bitsPerPixel = 8, .planes = 3})));
  Save(folder, "jp2-no-fit-mode.bin",
       BoxInput("jp2", {.BoxWidth = 5, .BoxHeight = 7, .FitMode = 3, .Angle = 10},
                test::Jpeg2000Bytes(test::TestPattern(8, 8), true, true)));
  Save(folder, "png-wide-strip.bin",
       BoxInput("png", {.BoxWidth = 2, .BoxHeight = 2, .KeepAspect = true, .HasEffects = true},
                Written([&](TStream& s) { SavePng(test::StripedPicture(400, 2, 5), s); })));
}

}  // namespace

}  // namespace nimbra::fuzz

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: MakePictureSeeds CORPUS_FOLDER\n";
    return 2;
  }
  try {
    const std::filesystem::path corpus = argv[1];
    nimbra::fuzz::WriteTargaSeeds(corpus / "TargaFuzzer");
    nimbra::fuzz::WritePcxSeeds(corpus / "PcxFuzzer");
    nimbra::fuzz::WriteBmpSeeds(corpus / "BmpFuzzer");
    nimbra::fuzz::WriteWebpSeeds(corpus / "WebpFuzzer");
    nimbra::fuzz::WriteHeifSeeds(corpus / "HeifFuzzer");
    nimbra::fuzz::WriteDecoderSeeds(corpus / "PictureDecoderFuzzer");
    nimbra::fuzz::WriteBoxSeeds(corpus / "PictureBoxFuzzer");
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
  return 0;
}
