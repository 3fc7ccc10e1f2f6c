// The file references of an object that refers to exactly one file (a picture, a sound): every
// operation follows from the stored name, its resolution against the document and how the object
// stores a new name, which the object supplies.
#pragma once

#include <string>
#include <vector>

#include "slideshow/SlideShowInterfaces.h"

namespace nimbra {

class TSingleFileReferences : public virtual IFileReferences {
 public:
  // The stored name resolved with the object's ResolveFileName.
  std::string GetFileName() const override;
  std::vector<std::string> GetFileNames() const override;
  void ReplaceFileName(const std::string& oldName, const std::string& newName) override;
  std::vector<std::string> GetStoredFileNames() const override { return {GetStoredFileName()}; }
  void SetFileNameAt(int32_t index, const std::string& name) override;
  int32_t FileCount() const override { return 1; }
  std::vector<std::string> GetResolvedFileNames() const override { return {GetFileName()}; }
};

}  // namespace nimbra
