// The picture objects of the test slideshows. Kept apart from the other support: the picture
// kind's header and the template headers both declare a TPixelRect.
#include "slideshow/PicSlideShowObject.h"
#include "slideshow/SlideShow.h"

namespace nimbra::test {

void AddPictureObjects(TSlideShow& document, const std::vector<std::string>& fileNames) {
  for (const std::string& name : fileNames) {
    auto picture = std::make_unique<TExtPicSlideShowObject>();
    if (!name.empty()) picture->SetFileName(name);
    document.RootList().Add(std::move(picture));
  }
}

}  // namespace nimbra::test
