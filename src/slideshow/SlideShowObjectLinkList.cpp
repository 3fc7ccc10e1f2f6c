#include "slideshow/SlideShowObjectLinkList.h"

#include <algorithm>

namespace nimbra {

int32_t TSlideShowObjectLinkList::Add(TSlideShowObjectLink link) {
  links_.push_back(link);
  return Count() - 1;
}

void TSlideShowObjectLinkList::Sort() {
  std::stable_sort(links_.begin(), links_.end(),
                   [](const auto& a, const auto& b) { return a.Index < b.Index; });
}

}  // namespace nimbra
