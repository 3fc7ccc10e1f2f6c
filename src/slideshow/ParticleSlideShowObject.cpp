#include "slideshow/ParticleSlideShowObject.h"


#include "framework/FieldMap.h"
#include "framework/Properties.h"
#include "slideshow/PicSlideShowObject.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TParticleSlideShowObject, TBaseExtBitmapSlideShowObject)

std::string TParticleSlideShowObject::GetFileName() const {
  const std::vector<std::string> names = GetStoredFileNames();
  return names.empty() ? std::string() : ResolveFileName(names.front());
}

std::vector<std::string> TParticleSlideShowObject::GetFileNames() const {
  std::vector<std::string> used;
  for (const std::string& name : GetStoredFileNames()) {
    const std::string resolved = ResolveFileName(name);
    used.push_back(resolved.empty() ? name : resolved);
  }
  return used;
}

void TParticleSlideShowObject::ReplaceFileName(const std::string& oldName,
                                               const std::string& newName) {
  std::vector<std::string> names = GetStoredFileNames();
  bool replaced = false;
  for (std::string& name : names) {
    if (name == oldName || ResolveFileName(name) == oldName) {
      name = newName;
      replaced = true;
    }
  }
  if (replaced) StoreNames(names);
}

std::vector<std::string> TParticleSlideShowObject::GetStoredFileNames() const {
  return SplitLines(pictureFileNames_);
}

std::string TParticleSlideShowObject::GetStoredFileName() const {
  const std::vector<std::string> names = GetStoredFileNames();
  return names.empty() ? std::string() : names.front();
}

void TParticleSlideShowObject::SetFileNameAt(int32_t index, const std::string& name) {
  std::vector<std::string> names = GetStoredFileNames();
  if (index < 0 || index > static_cast<int32_t>(names.size())) return;
  if (index == static_cast<int32_t>(names.size())) {
    names.push_back(name);
  } else if (names[static_cast<size_t>(index)] != name) {
    names[static_cast<size_t>(index)] = name;
  } else {
    return;
  }
  StoreNames(names);
}

int32_t TParticleSlideShowObject::FileCount() const {
  return static_cast<int32_t>(GetStoredFileNames().size());
}

std::vector<std::string> TParticleSlideShowObject::GetResolvedFileNames() const {
  std::vector<std::string> resolved;
  for (const std::string& name : GetStoredFileNames()) resolved.push_back(ResolveFileName(name));
  return resolved;
}

void TParticleSlideShowObject::StoreNames(const std::vector<std::string>& names) {
  const std::string joined = JoinLines(names);
  if (joined == pictureFileNames_) return;
  pictureFileNames_ = joined;
  Changed(kChangePictureFileName);
}

void TParticleSlideShowObject::CopyFrom(const TSlideShowObject& other) {
  TBaseExtBitmapSlideShowObject::CopyFrom(other);
  const auto* source = dynamic_cast<const TParticleSlideShowObject*>(&other);
  if (source == nullptr) return;
  pictureFileNames_ = source->pictureFileNames_;
  particleCount_ = source->particleCount_;
  direction_ = source->direction_;
  speed_ = source->speed_;
  reserved_ = source->reserved_;
  particleSize_ = source->particleSize_;
  wobble_ = source->wobble_;
  wobbleAmplitude_ = source->wobbleAmplitude_;
  wobbleFrequency_ = source->wobbleFrequency_;
}

std::string TParticleSlideShowObject::PropertyFrameClassName() const {
  return "TParticleSlideShowObjectPropertyEditorFrame";
}

void TParticleSlideShowObject::MapFields(TFieldMap& map) {
  TBaseExtBitmapSlideShowObject::MapFields(map);
  map.String("pictureFileNames", pictureFileNames_);
  map.Integer("particleCount", particleCount_);
  map.Single("direction", direction_);
  map.Single("speed", speed_);
  map.Single("reserved", reserved_);
  map.Single("particleSize", particleSize_);
  map.Byte("wobble", wobble_);
  map.Single("wobbleAmplitude", wobbleAmplitude_);
  map.Single("wobbleFrequency", wobbleFrequency_);
}

}  // namespace nimbra
