// Links from indices to slideshow objects, kept sorted by index. A document holds one; nothing in
// this system fills it, and it is never stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nimbra {

class TSlideShowObject;

struct TSlideShowObjectLink {
  int32_t Index = -1;
  TSlideShowObject* Reference = nullptr;
};

class TSlideShowObjectLinkList {
 public:
  int32_t Count() const { return static_cast<int32_t>(links_.size()); }
  // Raises std::out_of_range outside the list.
  const TSlideShowObjectLink& Items(int32_t index) const {
    return links_.at(static_cast<size_t>(index));
  }
  int32_t Add(TSlideShowObjectLink link);
  // By index; links of equal index keep their order.
  void Sort();
  void Clear() { links_.clear(); }

 private:
  std::vector<TSlideShowObjectLink> links_;
};

}  // namespace nimbra
