#include "slideshow/UpdateList.h"

#include <stdexcept>

#include "slideshow/SlideShowObject.h"

namespace nimbra {

void TUpdateList::Add(const TSlideShowObject& object, TUpdateKind kind, int32_t extra,
                      int16_t changeCode) {
  records_.push_back(TUpdateRecord{&object, kind, extra, changeCode, object.Path()});
}

void TUpdateList::Delete(int32_t index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("update record index");
  records_.erase(records_.begin() + index);
}

}  // namespace nimbra
