#include "raster/PictureFile.h"

#include <new>
#include <string>

#include "raster/CodecError.h"
#include "raster/PictureFormats.h"
#include "storage/FileAccess.h"
#include "storage/Stream.h"

namespace nimbra {

TPictureFile TPictureFile::Open(IFileAccess& access, std::string_view name) {
  TPictureFile file;
  try {
    file.stream_ = access.OpenFile(name);
    if (!file.stream_) throw ECodecError("cannot be opened");
    file.reader_ = ChoosePictureReader(FileExtension(name), *file.stream_)(*file.stream_);
    file.shownSize_ = file.reader_->ReadHeader();
  } catch (const ECodecError&) {
    throw;
  } catch (const ENimbraError& error) {
    // A stream that fails to read says why in its own words.
    throw ECodecError(error.what());
  }
  return file;
}

std::unique_ptr<TBitmap32> LoadBitmap32(std::string_view name, const TDecodeHintFor& hintFor) {
  const std::shared_ptr<IFileAccess> access = FileAccess();
  if (!access) return nullptr;
  try {
    TPictureFile file = TPictureFile::Open(*access, name);
    TBitmap32 picture = file.Decode(hintFor ? hintFor(file.ShownSize()) : TDecodeHint{});
    if (picture.Empty()) return nullptr;
    return std::make_unique<TBitmap32>(std::move(picture));
  } catch (const ENimbraError&) {
    return nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

TPictureSize ReadShownSize(IFileAccess& access, std::string_view name) {
  return TPictureFile::Open(access, name).ShownSize();
}

}  // namespace nimbra
