#include "PhotoJpeg.h"

#include "raster/PictureWriters.h"
#include "storage/MemoryStream.h"

namespace nimbra::bench {

TBitmap32 PhotoBitmap(int width, int height) {
  TBitmap32 picture(width, height);
  uint32_t noise = 12345;
  for (int y = 0; y < height; ++y) {
    TColor32* row = picture.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      noise = noise * 1103515245u + 12345u;
      const auto grain = static_cast<int>((noise >> 16) & 31);
      row[x] = Color32(static_cast<uint8_t>(x * 200 / width + grain),
                       static_cast<uint8_t>(y * 200 / height + grain),
                       static_cast<uint8_t>((x + y) % 200 + grain));
    }
  }
  return picture;
}

std::string PhotoJpegBytes(int width, int height, int quality) {
  TMemoryStream stream;
  SaveJpeg(PhotoBitmap(width, height), stream, quality);
  return stream.ToString();
}

}  // namespace nimbra::bench
