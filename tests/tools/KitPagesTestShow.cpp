// Writes the slideshow documents of the pages tests. Kept apart from the project writer: the
// picture kind's header and the template headers both declare a TPixelRect.
#include "KitPagesTestShow.h"

#include <stdexcept>

#include "slideshow/CollectionSlideShowObject.h"
#include "slideshow/PicSlideShowObject.h"
#include "slideshow/SlideShow.h"

namespace nimbra::test {

void WritePictureShow(const std::string& path, int pictures, bool startWithChapter) {
  TSlideShow document;
  TSlideShowObjectList* list = &document.RootList();
  if (startWithChapter) {
    auto chapter = std::make_unique<TContainerSlideShowObject>();
    TSlideShowObjectList& children = chapter->CreateChildren();
    document.RootList().Add(std::move(chapter));
    list = &children;
  }
  for (int i = 0; i < pictures; ++i) list->Add(std::make_unique<TExtPicSlideShowObject>());
  if (!document.SaveToFile(path)) throw std::runtime_error("cannot write " + path);
}

}  // namespace nimbra::test
