#include "slideshow/ParticleSlideShowObject.h"

#include <exception>

#include "framework/Properties.h"
#include "slideshow/PicSlideShowObject.h"
#include "storage/CSFStream.h"

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

bool TParticleSlideShowObject::WriteToStream(TCSFStream& stream) const {
  if (!TBaseExtBitmapSlideShowObject::WriteToStream(stream)) return false;
  try {
    stream.WriteString(pictureFileNames_);
    stream.WriteInteger(particleCount_);
    stream.WriteSingle(direction_);
    stream.WriteSingle(speed_);
    stream.WriteSingle(reserved_);
    stream.WriteSingle(particleSize_);
    stream.WriteByte(wobble_);
    stream.WriteSingle(wobbleAmplitude_);
    stream.WriteSingle(wobbleFrequency_);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool TParticleSlideShowObject::ReadFromStream(TCSFStream& stream) {
  if (!TBaseExtBitmapSlideShowObject::ReadFromStream(stream)) return false;
  try {
    pictureFileNames_ = stream.ReadString();
    particleCount_ = stream.ReadInteger();
    direction_ = stream.ReadSingle();
    speed_ = stream.ReadSingle();
    reserved_ = stream.ReadSingle();
    particleSize_ = stream.ReadSingle();
    wobble_ = stream.ReadByte();
    wobbleAmplitude_ = stream.ReadSingle();
    wobbleFrequency_ = stream.ReadSingle();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace nimbra
