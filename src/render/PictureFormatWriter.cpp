#include "render/PictureFormatWriter.h"

#include <algorithm>

#include "raster/PictureWriters.h"
#include "storage/AtomicFile.h"
#include "storage/CSFStream.h"
#include "storage/FalseOnFailure.h"
#include "storage/FileStream.h"
#include "storage/TextCase.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPictureFormatWriter, TPlugin)
NIMBRA_DEFINE_PLUGIN(TBmpFormatWriter, TPictureFormatWriter)
NIMBRA_DEFINE_PLUGIN(TPngFormatWriter, TPictureFormatWriter)
NIMBRA_DEFINE_PLUGIN(TJpegFormatWriter, TPictureFormatWriter)

void TPictureFormatWriter::WriteSettings(TCSFStream&) const {}

bool TPictureFormatWriter::ReadSettings(TCSFStream&) { return true; }

bool TPictureFormatWriter::SaveToFile(const TBitmap32& bitmap, const std::string& fileName) const {
  return FalseOnFailure([&] {
    TAtomicFile file(fileName, 0644);
    {
      TFileStream stream(file.TemporaryName(), FileMode::Create, fileName);
      Write(bitmap, stream);
      stream.Flush();
    }
    file.Commit();
    return true;
  });
}

// ---- BMP ----

void TBmpFormatWriter::WriteSettings(TCSFStream& stream) const {
  stream.WriteByte(static_cast<uint8_t>(bitsPerPixel_));
}

bool TBmpFormatWriter::ReadSettings(TCSFStream& stream) {
  SetBitsPerPixel(stream.ReadByte());
  return true;
}

void TBmpFormatWriter::Write(const TBitmap32& bitmap, TStream& stream) const {
  SaveBmp(bitmap, stream, bitsPerPixel_);
}

// ---- PNG ----

void TPngFormatWriter::Write(const TBitmap32& bitmap, TStream& stream) const {
  SavePng(bitmap, stream);
}

// ---- JPEG ----

void TJpegFormatWriter::SetQuality(int quality) { quality_ = std::clamp(quality, 1, 100); }

void TJpegFormatWriter::WriteSettings(TCSFStream& stream) const { stream.WriteInteger(quality_); }

bool TJpegFormatWriter::ReadSettings(TCSFStream& stream) {
  SetQuality(stream.ReadInteger());
  return true;
}

void TJpegFormatWriter::Write(const TBitmap32& bitmap, TStream& stream) const {
  SaveJpeg(bitmap, stream, quality_);
}

// ---- the list ----

std::vector<const TPluginClass*> PictureFormatWriterClasses() {
  return {&TPngFormatWriter::StaticClass(), &TJpegFormatWriter::StaticClass(),
          &TBmpFormatWriter::StaticClass()};
}

const TPluginClass* FindPictureFormatWriter(std::string_view extension) {
  if (SameTextAscii(extension, "jpeg")) extension = "jpg";
  for (const TPluginClass* meta : PictureFormatWriterClasses()) {
    const std::unique_ptr<TPictureFormatWriter> writer = CreateAs<TPictureFormatWriter>(*meta);
    if (writer && SameTextAscii(writer->DefaultExtension(), extension)) return meta;
  }
  return nullptr;
}

}  // namespace nimbra
