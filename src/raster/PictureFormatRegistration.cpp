#include "raster/PictureFormatRegistration.h"

#include <algorithm>
#include <exception>
#include <string>

#include "raster/BmpCodec.h"
#include "raster/CodecError.h"
#include "raster/GifCodec.h"
#include "raster/Jpeg2000Codec.h"
#include "raster/JpegCodec.h"
#include "raster/PcxCodec.h"
#include "raster/PngCodec.h"
#include "raster/TargaCodec.h"
#include "raster/TiffCodec.h"
#include "storage/FileAccess.h"
#include "storage/Stream.h"
#include "storage/TextCase.h"

namespace nimbra {

namespace {

template <typename TReader>
std::unique_ptr<TBitmap32Graphic> Create() {
  return std::make_unique<TReader>();
}

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
    {"jpg",   kJpeg,      Create<TJpegGraphic>},
    {"jpeg",  kJpeg,      Create<TJpegGraphic>},
    {"jpe",   kJpeg,      Create<TJpegGraphic>},
    {"jfif",  kJpeg,      Create<TJpegGraphic>},
    {"png",   kPng,       Create<TPngGraphic>},
    {"tif",   kTiff,      Create<TTiffGraphic>},
    {"tiff",  kTiff,      Create<TTiffGraphic>},
    {"gif",   kGif,       Create<TGifGraphic>},
    {"tga",   kTarga,     Create<TTargaGraphic>},
    {"vda",   kTarga,     Create<TTargaGraphic>},
    {"icb",   kTarga,     Create<TTargaGraphic>},
    {"vst",   kTarga,     Create<TTargaGraphic>},
    {"pcx",   kPcx,       Create<TPcxGraphic>},
    {"bmp",   kBmp,       Create<TBmpGraphic>},
    {"dib",   kBmp,       Create<TBmpGraphic>},
    {"rle",   kBmp,       Create<TBmpGraphic>},
    {"jp2",   kJpeg2000,  Create<TJpeg2000Graphic>},
    {"j2k",   kJpeg2000,  Create<TJpeg2000Graphic>},
    {"jpc",   kJpeg2000,  Create<TJpeg2000Graphic>},
    {"j2c",   kJpeg2000,  Create<TJpeg2000Graphic>},
};
// clang-format on

const TPictureReaderInfo* FindReader(std::string_view extension) {
  const std::string key = LowerCase(extension);
  for (const TPictureReaderInfo& reader : kReaders) {
    if (reader.Extension == key) return &reader;
  }
  return nullptr;
}

bool IsRegistered(const std::string& extension) {
  const std::vector<std::string> registered = PictureFormatExtensions();
  return std::find(registered.begin(), registered.end(), extension) != registered.end();
}

}  // namespace

std::span<const TPictureReaderInfo> PictureReaders() {
  return kReaders;
}

void RegisterPictureFormats() {
  for (const TPictureReaderInfo& reader : kReaders) {
    RegisterPictureFormat(
        reader.Extension, reader.Description,
        [create = reader.Create]() -> std::unique_ptr<TGraphic> { return create(); });
  }
}

void UnregisterPictureFormats() {
  for (const TPictureReaderInfo& reader : kReaders) UnregisterPictureFormat(reader.Extension);
}

std::unique_ptr<TBitmap32Graphic> CreatePictureReader(std::string_view extension) {
  const TPictureReaderInfo* reader = FindReader(extension);
  return reader ? reader->Create() : nullptr;
}

std::unique_ptr<TGraphic> LoadGraphic(IFileAccess& access, std::string_view name,
                                      const TDecodeHint& hint) {
  const std::string extension = FileExtension(name);
  if (!IsRegistered(extension)) return nullptr;
  std::unique_ptr<TBitmap32Graphic> graphic = CreatePictureReader(extension);
  if (!graphic) return LoadGraphic(access, name);
  try {
    const std::unique_ptr<TStream> stream = access.OpenFile(name);
    if (!stream) return nullptr;
    graphic->SetDecodeHint(hint);
    graphic->LoadFromStream(*stream);
    return graphic;
  } catch (const std::exception&) {
    return nullptr;
  }
}

TPictureSize ReadShownSize(IFileAccess& access, std::string_view name) {
  const std::string extension = FileExtension(name);
  std::unique_ptr<TBitmap32Graphic> reader =
      IsRegistered(extension) ? CreatePictureReader(extension) : nullptr;
  if (!reader) throw ECodecError("no picture reader for \"" + extension + "\"");
  const std::unique_ptr<TStream> stream = access.OpenFile(name);
  if (!stream) throw ECodecError("cannot be opened");
  try {
    return reader->ReadShownSize(*stream);
  } catch (const ECodecError&) {
    throw;
  } catch (const std::exception& error) {
    // A stream that fails to read says why in its own words.
    throw ECodecError(error.what());
  }
}

}  // namespace nimbra
