#include "raster/PictureFormatRegistration.h"

#include "raster/BmpCodec.h"
#include "raster/GifCodec.h"
#include "raster/Jpeg2000Codec.h"
#include "raster/JpegCodec.h"
#include "raster/PcxCodec.h"
#include "raster/PngCodec.h"
#include "raster/TargaCodec.h"
#include "raster/TiffCodec.h"

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

// clang-format off
constexpr TPictureReaderInfo kReaders[] = {
    {"jpg",   kJpeg,      OpenJpegReader},
    {"jpeg",  kJpeg,      OpenJpegReader},
    {"jpe",   kJpeg,      OpenJpegReader},
    {"jfif",  kJpeg,      OpenJpegReader},
    {"png",   kPng,       OpenPngReader},
    {"tif",   kTiff,      OpenTiffReader},
    {"tiff",  kTiff,      OpenTiffReader},
    {"gif",   kGif,       OpenGifReader},
    {"tga",   kTarga,     OpenTargaReader},
    {"vda",   kTarga,     OpenTargaReader},
    {"icb",   kTarga,     OpenTargaReader},
    {"vst",   kTarga,     OpenTargaReader},
    {"pcx",   kPcx,       OpenPcxReader},
    {"bmp",   kBmp,       OpenBmpReader},
    {"dib",   kBmp,       OpenBmpReader},
    {"rle",   kBmp,       OpenBmpReader},
    {"jp2",   kJpeg2000,  OpenJpeg2000Reader},
    {"j2k",   kJpeg2000,  OpenJpeg2000Reader},
    {"jpc",   kJpeg2000,  OpenJpeg2000Reader},
    {"j2c",   kJpeg2000,  OpenJpeg2000Reader},
};
// clang-format on

}  // namespace

std::span<const TPictureReaderInfo> PictureReaders() {
  return kReaders;
}

void RegisterPictureFormats() {
  for (const TPictureReaderInfo& reader : kReaders) {
    RegisterPictureFormat(reader.Extension, reader.Description, reader.Open);
  }
}

void UnregisterPictureFormats() {
  for (const TPictureReaderInfo& reader : kReaders) UnregisterPictureFormat(reader.Extension);
}

}  // namespace nimbra
