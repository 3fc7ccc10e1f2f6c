#include "slideshow/SingleFileReferences.h"

#include "framework/FileNameResolution.h"
#include "slideshow/SlideShowObject.h"

namespace nimbra {

std::string TSingleFileReferences::GetFileName() const {
  const std::string stored = GetStoredFileName();
  if (const auto* object = dynamic_cast<const TSlideShowObject*>(this)) {
    return object->ResolveFileName(stored);
  }
  return ResolveFileName(stored, {});
}

std::vector<std::string> TSingleFileReferences::GetFileNames() const {
  const std::string resolved = GetFileName();
  return {resolved.empty() ? GetStoredFileName() : resolved};
}

void TSingleFileReferences::ReplaceFileName(const std::string& oldName,
                                            const std::string& newName) {
  const std::string stored = GetStoredFileName();
  if (oldName == stored || (!stored.empty() && oldName == GetFileName())) SetFileName(newName);
}

void TSingleFileReferences::SetFileNameAt(int32_t, const std::string& name) {
  SetFileName(name);
}

}  // namespace nimbra
