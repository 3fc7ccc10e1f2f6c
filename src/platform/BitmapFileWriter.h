// Writes a page as the Windows bitmap file a desktop is pointed at: 24 bits per pixel with the
// classic header, which every desktop's image loader reads and which cannot turn a stray alpha
// byte into transparency. The file is replaced atomically, so a desktop that reloads while we
// write never sees half a picture.
#pragma once

#include <string>

#include "raster/Bitmap32.h"

namespace nimbra {

// Raises EWallpaperError for an empty bitmap and the stream errors when the file cannot be written.
void WriteBitmapFile(const TBitmap32& bitmap, const std::string& fileName);

}  // namespace nimbra
