// One file of a package: its stored name, its length and where its bytes lie in the package.
// Stored as the record chunk behind the file's data chunk.
#pragma once

#include <cstdint>
#include <string>

#include "storage/ClassRegistry.h"

namespace nimbra {

class TCSFStream;

class TPackageFileListItem : public TObject {
  NIMBRA_DECLARE_CLASS()

 public:
  TPackageFileListItem() = default;
  explicit TPackageFileListItem(std::string fileName) : FileName(std::move(fileName)) {}

  // One sub-chunk: Offset, Size, FileName. Both yield false on any failure.
  virtual bool WriteToStream(TCSFStream& stream) const;
  virtual bool ReadFromStream(TCSFStream& stream);

  std::string FileName;
  int64_t Size = 0;
  int64_t Offset = 0;  // position of the file's bytes within the package
};

// Enters the storage classes into the run-time class registry (once; safe to call again).
void RegisterStorageClasses();

}  // namespace nimbra
