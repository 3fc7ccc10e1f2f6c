#include "slideshow/PicSlideShowObject.h"
#include "slideshow/SlideShowObjectList.h"

namespace nimbra::test {

void AddExtPictures(TSlideShowObjectList& list, int count) {
  for (int i = 0; i < count; ++i) list.Add(std::make_unique<TExtPicSlideShowObject>());
}

}  // namespace nimbra::test
