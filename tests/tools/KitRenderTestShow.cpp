// Kept in two halves apart from each other's headers: the picture kind's header and the template
// headers both declare a TPixelRect.
#include "KitRenderTestShow.h"

#include <stdexcept>

#include "raster/PictureWriters.h"
#include "slideshow/PicSlideShowObject.h"
#include "slideshow/SlideShow.h"
#include "storage/FileStream.h"

namespace nimbra::test {

void WriteNamedPictureShow(const std::string& path, const std::vector<std::string>& pictures) {
  TSlideShow document;
  for (const std::string& name : pictures) {
    auto picture = std::make_unique<TExtPicSlideShowObject>();
    picture->SetFileName(name);
    document.RootList().Add(std::move(picture));
  }
  if (!document.SaveToFile(path)) throw std::runtime_error("cannot write " + path);
}

void WriteColourPicture(const std::string& path, int width, int height, TColor32 colour) {
  TBitmap32 bitmap(width, height);
  bitmap.Clear(colour);
  TFileStream stream(path, FileMode::Create);
  SavePng(bitmap, stream);
}

}  // namespace nimbra::test
