#include "platform/BitmapFileWriter.h"

#include "platform/WallpaperBackend.h"
#include "raster/PictureWriters.h"
#include "storage/AtomicFile.h"
#include "storage/FileStream.h"

namespace nimbra {

void WriteBitmapFile(const TBitmap32& bitmap, const std::string& fileName) {
  if (bitmap.Empty()) throw EWallpaperError("die Seite ist leer");
  TAtomicFile file(fileName, 0644);
  {
    TFileStream stream(file.TemporaryName(), FileMode::Create, fileName);
    SaveBmp(bitmap, stream, 24);
    stream.Flush();
  }
  file.Commit();
}

}  // namespace nimbra
