#include "raster/PictureFormatRegistration.h"

#include "raster/BmpCodec.h"
#include "raster/GifCodec.h"
#include "raster/HeifCodec.h"
#include "raster/Jpeg2000Codec.h"
#include "raster/JpegCodec.h"
#include "raster/PcxCodec.h"
#include "raster/PngCodec.h"
#include "raster/TargaCodec.h"
#include "raster/TiffCodec.h"
#include "raster/WebpCodec.h"

namespace nimbra {

namespace {

constexpr std::string_view kJpeg = "JPEG-Bild";
constexpr std::string_view kPng = "PNG-Bild";
constexpr std::string_view kTiff = "TIFF-Bild";
constexpr std::string_view kGif = "GIF-Bild";
constexpr std::string_view kTarga = "Targa-Bild";
constexpr std::string_view kPcx = "PCX-Bild";
constexpr std::string_view kBmp = "Windows-Bitmap";
constexpr std::string_view kJpeg2000 = "JPEG-2000-Bild";
constexpr std::string_view kWebp = "WebP-Bild";
constexpr std::string_view kHeif = "HEIF-Bild";
constexpr std::string_view kAvif = "AVIF-Bild";

// clang-format off
constexpr TPictureReaderInfo kReaders[] = {
    {"jpg",   kJpeg,      OpenJpegReader,      IsJpegSignature},
    {"jpeg",  kJpeg,      OpenJpegReader,      IsJpegSignature},
    {"jpe",   kJpeg,      OpenJpegReader,      IsJpegSignature},
    {"jfif",  kJpeg,      OpenJpegReader,      IsJpegSignature},
    {"png",   kPng,       OpenPngReader,       IsPngSignature},
    {"tif",   kTiff,      OpenTiffReader,      IsTiffSignature},
    {"tiff",  kTiff,      OpenTiffReader,      IsTiffSignature},
    {"gif",   kGif,       OpenGifReader,       IsGifSignature},
    {"tga",   kTarga,     OpenTargaReader,     nullptr},
    {"vda",   kTarga,     OpenTargaReader,     nullptr},
    {"icb",   kTarga,     OpenTargaReader,     nullptr},
    {"vst",   kTarga,     OpenTargaReader,     nullptr},
    {"pcx",   kPcx,       OpenPcxReader,       nullptr},
    {"bmp",   kBmp,       OpenBmpReader,       IsBmpSignature},
    {"dib",   kBmp,       OpenBmpReader,       IsBmpSignature},
    {"rle",   kBmp,       OpenBmpReader,       IsBmpSignature},
    {"jp2",   kJpeg2000,  OpenJpeg2000Reader,  IsJpeg2000Signature},
    {"j2k",   kJpeg2000,  OpenJpeg2000Reader,  IsJpeg2000Signature},
    {"jpc",   kJpeg2000,  OpenJpeg2000Reader,  IsJpeg2000Signature},
    {"j2c",   kJpeg2000,  OpenJpeg2000Reader,  IsJpeg2000Signature},
    // Appended, so that the fuzz inputs' reader indices stay as they were.
    {"webp",  kWebp,      OpenWebpReader,      IsWebpSignature},
    {"heic",  kHeif,      OpenHeifReader,      IsHeifSignature},
    {"heif",  kHeif,      OpenHeifReader,      IsHeifSignature},
    {"hif",   kHeif,      OpenHeifReader,      IsHeifSignature},
    {"avif",  kAvif,      OpenHeifReader,      IsHeifSignature},
};
// clang-format on

}  // namespace

std::span<const TPictureReaderInfo> PictureReaders() {
  return kReaders;
}

void RegisterPictureFormats() {
  for (const TPictureReaderInfo& reader : kReaders) {
    RegisterPictureFormat(reader.Extension, reader.Description, reader.Open, reader.Signature);
  }
}

void UnregisterPictureFormats() {
  for (const TPictureReaderInfo& reader : kReaders) UnregisterPictureFormat(reader.Extension);
}

}  // namespace nimbra
