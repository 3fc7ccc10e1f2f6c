// The slideshow half of the start-up test albums; apart from the template headers, which declare
// a pixel rectangle of their own.
#include "slideshow/PicSlideShowObject.h"
#include "slideshow/SlideShow.h"
#include "StartupTestAlbum.h"

#include <stdexcept>

namespace nimbra::test {

void WriteStartupShow(const std::string& path, const std::vector<std::string>& pictureNames) {
  TSlideShow show;
  for (const std::string& name : pictureNames) {
    auto picture = std::make_unique<TExtPicSlideShowObject>();
    picture->SetFileName(name);
    show.RootList().Add(std::move(picture));
  }
  if (!show.SaveToFile(path)) throw std::runtime_error("cannot write " + path);
}

}  // namespace nimbra::test
