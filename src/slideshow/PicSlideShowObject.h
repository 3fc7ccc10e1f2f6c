// The picture objects: a picture file (or a picture embedded in a media archive) placed on the
// screen, with its EXIF record kept in the document. The plain picture is a base of the composite
// only; documents hold the extended picture, which adds animation curves and a transition.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "slideshow/BitmapSlideShowObject.h"
#include "slideshow/PictureFileReference.h"
#include "slideshow/SingleFileReferences.h"

namespace nimbra {

// The change code of a new picture file name.
inline constexpr int32_t kChangePictureFileName = 40;

// The extensions of the picture format list, and a file-open filter of them.
std::vector<std::string> PictureFileExtensions();
std::string PictureFileFilter();

class TPicSlideShowObject : public TBaseBitmapSlideShowObject,
                            public TSingleFileReferences,
                            public virtual IPictureFile,
                            public virtual IExifSource {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPicSlideShowObject() = default;

  TPictureFileReference& Picture() { return picture_; }
  const TPictureFileReference& Picture() const { return picture_; }
  uint8_t ExifState() const { return picture_.ExifState(); }
  std::unique_ptr<TGraphic> LoadPicture() { return picture_.LoadPicture(*this); }

  // IFileReferences
  void SetFileName(const std::string& name) override;
  std::string GetStoredFileName() const override { return picture_.FileName(); }
  // IExifSource
  bool HasExif() override { return picture_.Exif(*this) != nullptr; }
  TSlideShowObjectExif* Exif() override { return picture_.Exif(*this); }
  bool ReloadExif() override { return picture_.ReloadExif(*this); }

  void CopyFrom(const TSlideShowObject& other) override;
  std::vector<std::string> FileExtensions() const override { return PictureFileExtensions(); }
  std::string FileFilter() const override { return PictureFileFilter(); }
  void MapFields(TFieldMap& map) override;

 private:
  TPictureFileReference picture_;
};

class TExtPicSlideShowObject : public TBaseExtBitmapSlideShowObject,
                               public TSingleFileReferences,
                               public virtual IPictureFile,
                               public virtual IExifSource {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TExtPicSlideShowObject() = default;

  static std::string ClassCaption() { return "Bild mit Effekten"; }
  static std::string ClassDescription() {
    return "Eine beliebige Grafikdatei, der Effekte, wie animierte Transparenz oder "
           "Bewegungspfade zugeordnet werden können.";
  }

  TPictureFileReference& Picture() { return picture_; }
  const TPictureFileReference& Picture() const { return picture_; }
  uint8_t ExifState() const { return picture_.ExifState(); }
  std::unique_ptr<TGraphic> LoadPicture() { return picture_.LoadPicture(*this); }

  // IFileReferences
  void SetFileName(const std::string& name) override;
  std::string GetStoredFileName() const override { return picture_.FileName(); }
  // IExifSource
  bool HasExif() override { return picture_.Exif(*this) != nullptr; }
  TSlideShowObjectExif* Exif() override { return picture_.Exif(*this); }
  bool ReloadExif() override { return picture_.ReloadExif(*this); }

  void CopyFrom(const TSlideShowObject& other) override;
  std::vector<std::string> FileExtensions() const override { return PictureFileExtensions(); }
  std::string FileFilter() const override { return PictureFileFilter(); }
  std::string PropertyFrameClassName() const override;
  void MapFields(TFieldMap& map) override;

 private:
  TPictureFileReference picture_;
};

}  // namespace nimbra
