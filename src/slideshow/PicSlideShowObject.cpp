#include "slideshow/PicSlideShowObject.h"

#include "framework/FieldMap.h"
#include "storage/TextCase.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPicSlideShowObject, TBaseBitmapSlideShowObject)
NIMBRA_DEFINE_PLUGIN(TExtPicSlideShowObject, TBaseExtBitmapSlideShowObject)

std::vector<std::string> PictureFileExtensions() {
  return PictureFormatExtensions();
}

std::string PictureFileFilter() {
  std::string filter;
  for (const std::string& extension : PictureFileExtensions()) {
    if (!filter.empty()) filter += "|";
    filter += UpperCase(extension) + "-Dateien (*." + extension + ")|*." + extension;
  }
  return filter;
}

// ---- TPicSlideShowObject ----

void TPicSlideShowObject::SetFileName(const std::string& name) {
  if (picture_.SetFileName(name, *this)) Changed(kChangePictureFileName);
}

void TPicSlideShowObject::CopyFrom(const TSlideShowObject& other) {
  TBaseBitmapSlideShowObject::CopyFrom(other);
  if (const auto* source = dynamic_cast<const TPicSlideShowObject*>(&other)) {
    picture_.Assign(source->picture_);
  }
}

void TPicSlideShowObject::MapFields(TFieldMap& map) {
  TBaseBitmapSlideShowObject::MapFields(map);
  picture_.MapFields(map);
}

// ---- TExtPicSlideShowObject ----

void TExtPicSlideShowObject::SetFileName(const std::string& name) {
  if (picture_.SetFileName(name, *this)) Changed(kChangePictureFileName);
}

void TExtPicSlideShowObject::CopyFrom(const TSlideShowObject& other) {
  TBaseExtBitmapSlideShowObject::CopyFrom(other);
  if (const auto* source = dynamic_cast<const TExtPicSlideShowObject*>(&other)) {
    picture_.Assign(source->picture_);
  }
}

std::string TExtPicSlideShowObject::PropertyFrameClassName() const {
  return "TExtPicSlideShowObjectPropertyFrame";
}

void TExtPicSlideShowObject::MapFields(TFieldMap& map) {
  TBaseExtBitmapSlideShowObject::MapFields(map);
  picture_.MapFields(map);
}

}  // namespace nimbra
