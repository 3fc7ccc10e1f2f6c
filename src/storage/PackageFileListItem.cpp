#include "storage/PackageFileListItem.h"

#include <mutex>

#include "storage/CSFStream.h"
#include "storage/FalseOnFailure.h"

namespace nimbra {

NIMBRA_DEFINE_CLASS(TPackageFileListItem, TObject)

bool TPackageFileListItem::WriteToStream(TCSFStream& stream) const {
  return FalseOnFailure([&] {
    stream.BeginSubChunk();
    stream.WriteInt64(Offset);
    stream.WriteInt64(Size);
    stream.WriteString(FileName);
    stream.EndSubChunk();
    return true;
  });
}

bool TPackageFileListItem::ReadFromStream(TCSFStream& stream) {
  return FalseOnFailure([&] {
    stream.BeginReadSubChunk();
    Offset = stream.ReadInt64();
    Size = stream.ReadInt64();
    FileName = stream.ReadString();
    stream.EndReadSubChunk();
    return true;
  });
}

void RegisterStorageClasses() {
  static std::once_flag once;
  std::call_once(once, [] { RegisterClass(TPackageFileListItem::StaticClass()); });
}

}  // namespace nimbra
