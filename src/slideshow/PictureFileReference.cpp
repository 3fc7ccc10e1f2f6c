#include "slideshow/PictureFileReference.h"

#include <atomic>
#include <new>
#include <mutex>

#include "framework/Properties.h"
#include "slideshow/MediaArchive.h"
#include "slideshow/SlideShowObject.h"
#include "storage/CSFStream.h"
#include "storage/FileAccess.h"
#include "storage/NimbraError.h"
#include "storage/StreamErrors.h"

namespace nimbra {

namespace {

std::atomic<bool>& ReadExifOption() {
  static std::atomic<bool> on{false};
  return on;
}

// Decoders share caches and libraries that do not take concurrent loads.
std::mutex& PictureLoadLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

bool ReadExifOnFileNameChange() {
  return ReadExifOption().load();
}

void SetReadExifOnFileNameChange(bool on) {
  ReadExifOption().store(on);
}

TPictureFileReference::TPictureFileReference() = default;

TPictureFileReference::~TPictureFileReference() = default;

bool TPictureFileReference::SetFileName(const std::string& name, const TSlideShowObject& owner) {
  if (name == fileName_) return false;
  fileName_ = name;
  exif_.reset();
  exifState_ = static_cast<uint8_t>(TExifState::NotLookedAt);
  failed_ = false;
  failureMessage_.clear();
  if (ReadExifOnFileNameChange()) ReloadExif(owner);
  return true;
}

TSlideShowObjectExif* TPictureFileReference::Exif(const TSlideShowObject& owner) {
  switch (static_cast<TExifState>(exifState_)) {
    case TExifState::Present:
      return exif_.get();
    case TExifState::NoExif:
      return nullptr;
    default:
      ReloadExif(owner);
      return exif_.get();
  }
}

bool TPictureFileReference::ReloadExif(const TSlideShowObject& owner) {
  const std::string resolved = owner.ResolveFileName(fileName_);
  // A file that is not there now may be there later; only a file that was read settles the state.
  if (resolved.empty()) return false;
  SetExif(TSlideShowObjectExif::CreateFromFile(resolved));
  return exif_ != nullptr;
}

void TPictureFileReference::SetExif(std::unique_ptr<TSlideShowObjectExif> exif) {
  exif_ = std::move(exif);
  exifState_ = static_cast<uint8_t>(exif_ ? TExifState::Present : TExifState::NoExif);
}

std::unique_ptr<TGraphic> TPictureFileReference::LoadPicture(const TSlideShowObject& owner) {
  std::lock_guard<std::mutex> lock(PictureLoadLock());
  failed_ = false;
  failureMessage_.clear();
  try {
    std::unique_ptr<TGraphic> picture = Load(owner);
    if (!picture) failed_ = true;
    return picture;
  } catch (const ENimbraError& error) {
    failed_ = true;
    failureMessage_ = error.what();
    return nullptr;
  } catch (const std::bad_alloc& error) {
    failed_ = true;
    failureMessage_ = error.what();
    return nullptr;
  }
}

std::unique_ptr<TGraphic> TPictureFileReference::Load(const TSlideShowObject& owner) {
  // 1. the stored name resolved
  const std::string resolved = owner.ResolveFileName(fileName_);
  if (resolved.empty()) return nullptr;
  // 2. a picture inside a media archive
  if (const std::optional<TArchiveReference> reference = ParseArchiveReference(fileName_)) {
    const std::string archive = owner.ResolveFileName(reference->ArchiveName);
    return LoadEmbeddedPicture(OpenEmbeddedFile(archive, reference->Offset));
  }
  // 3. a picture file, through the program's file access (a plain one without it)
  std::shared_ptr<IFileAccess> access = FileAccess();
  if (!access) access = std::make_shared<TFileAccess>();
  return LoadGraphic(*access, resolved);
}

void TPictureFileReference::Assign(const TPictureFileReference& other) {
  if (&other == this) return;
  fileName_ = other.fileName_;
  exifState_ = other.exifState_;
  exif_.reset();
  if (other.exif_) {
    exif_ = std::make_unique<TSlideShowObjectExif>();
    exif_->Assign(*other.exif_);
  }
}

// Stored only when the state says so, which the fields before it have settled.
TStoredPart TPictureFileReference::ExifPart() {
  const auto present = [this] { return exifState_ == static_cast<uint8_t>(TExifState::Present); };
  return {[this, present](TCSFStream& stream) {
            if (!present()) return true;
            // A present record always has its sub-chunk, even an empty one, for readers count on
            // it.
            const TSlideShowObjectExif empty;
            return (exif_ ? *exif_ : empty).WriteToStream(stream);
          },
          [this, present](TCSFStream& stream) {
            exif_.reset();
            if (!present()) return TPartRead::Read;
            auto exif = std::make_unique<TSlideShowObjectExif>();
            // What follows the record cannot be trusted when the record did not read.
            if (!exif->ReadFromStream(stream)) throw EReadError("EXIF not read");
            exif_ = std::move(exif);
            return TPartRead::Read;
          },
          nullptr};
}

void TPictureFileReference::MapFields(TFieldMap& map) {
  map.String("fileName", fileName_);
  map.Byte("exifState", exifState_);
  map.Part("exif", ExifPart());
}

}  // namespace nimbra
