#include "storage/PackageFileListItem.h"

#include <exception>
#include <mutex>

#include "storage/CSFStream.h"

namespace nimbra {

NIMBRA_DEFINE_CLASS(TPackageFileListItem, TObject)

bool TPackageFileListItem::WriteToStream(TCSFStream& stream) const {
  try {
    stream.BeginSubChunk();
    stream.WriteInt64(Offset);
    stream.WriteInt64(Size);
    stream.WriteString(FileName);
    stream.EndSubChunk();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool TPackageFileListItem::ReadFromStream(TCSFStream& stream) {
  try {
    stream.BeginReadSubChunk();
    Offset = stream.ReadInt64();
    Size = stream.ReadInt64();
    FileName = stream.ReadString();
    stream.EndReadSubChunk();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void RegisterStorageClasses() {
  static std::once_flag once;
  std::call_once(once, [] { RegisterClass(TPackageFileListItem::StaticClass()); });
}

}  // namespace nimbra
