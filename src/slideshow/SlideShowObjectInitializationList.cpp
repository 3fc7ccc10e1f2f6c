#include "slideshow/SlideShowObjectInitializationList.h"

#include <algorithm>

namespace nimbra {

void TSlideShowObjectInitializationList::Add(TSlideShowObjectInitialization step) {
  const auto comesBefore = [](const TSlideShowObjectInitialization& a,
                              const TSlideShowObjectInitialization& b) {
    return a.Order != b.Order ? a.Order < b.Order : a.Cost < b.Cost;
  };
  steps_.insert(std::upper_bound(steps_.begin(), steps_.end(), step, comesBefore), step);
}

bool TSlideShowObjectInitializationList::RemoveKey(int32_t key) {
  return std::erase_if(steps_, [key](const auto& step) { return step.Key == key; }) > 0;
}

int64_t TSlideShowObjectInitializationList::TotalCost() const {
  int64_t total = 0;
  for (const auto& step : steps_) total += step.Cost;
  return total;
}

const TSlideShowObjectInitialization* TSlideShowObjectInitializationList::First() const {
  return steps_.empty() ? nullptr : &steps_.front();
}

const TSlideShowObjectInitialization* TSlideShowObjectInitializationList::Last() const {
  return steps_.empty() ? nullptr : &steps_.back();
}

}  // namespace nimbra
