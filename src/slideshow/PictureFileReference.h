// The picture file of a picture object with what is kept of it: the stored name (a path or an
// archive reference), whether its EXIF record was looked at, and the record itself, which travels
// with the document so later readers need not open the file. Both picture kinds hold one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/FieldMap.h"
#include "raster/PictureFormats.h"
#include "slideshow/Exif.h"

namespace nimbra {

class TSlideShowObject;

// Numbered as stored.
enum class TExifState : uint8_t { NotLookedAt = 0, Present = 1, NoExif = 2 };

// The process-wide option: a new picture file name reads its EXIF record at once (off: when first
// asked for).
bool ReadExifOnFileNameChange();
void SetReadExifOnFileNameChange(bool on);

class TPictureFileReference {
 public:
  TPictureFileReference();
  ~TPictureFileReference();
  TPictureFileReference(const TPictureFileReference&) = delete;
  TPictureFileReference& operator=(const TPictureFileReference&) = delete;

  const std::string& FileName() const { return fileName_; }
  // Stores a different name and yields true (the object reports the change). The former file's
  // EXIF record goes with it; with the option on, the new file's is read at once.
  bool SetFileName(const std::string& name, const TSlideShowObject& owner);
  uint8_t ExifState() const { return exifState_; }
  // The record of a picture, read from its file when it was not yet looked at; none when the file
  // has none (a file that cannot be found now is looked at again next time).
  TSlideShowObjectExif* Exif(const TSlideShowObject& owner);
  // Reads the record again from the resolved file; false when it has none.
  bool ReloadExif(const TSlideShowObject& owner);
  // Takes over a record read elsewhere (none: the file has no EXIF data).
  void SetExif(std::unique_ptr<TSlideShowObjectExif> exif);

  // The picture for drawing, loaded from the file or the media archive the name refers to. Only
  // one picture loads at a time in the whole process. None, and the reference marked as failed
  // with the reason, when the file cannot be found, opened or decoded.
  std::unique_ptr<TGraphic> LoadPicture(const TSlideShowObject& owner);
  bool Failed() const { return failed_; }
  const std::string& FailureMessage() const { return failureMessage_; }

  // The stored fields; the run-time failure mark is not copied.
  void Assign(const TPictureFileReference& other);
  // The name, the EXIF state and, when present, the record's sub-chunk; the picture kinds list
  // them after their own fields.
  void MapFields(TFieldMap& map);

 private:
  std::unique_ptr<TGraphic> Load(const TSlideShowObject& owner);
  TStoredPart ExifPart();

  std::string fileName_;
  uint8_t exifState_ = static_cast<uint8_t>(TExifState::NotLookedAt);
  std::unique_ptr<TSlideShowObjectExif> exif_;
  bool failed_ = false;
  std::string failureMessage_;
};

}  // namespace nimbra
