// A page element that chooses the next slideshow object itself (to skip objects, say) instead of
// taking the next one in the slideshow. No element of the program needs it yet; the renderer asks
// every consuming element for it.
#pragma once

#include <string_view>

#include "framework/CustomTree.h"
#include "framework/Interface.h"

namespace nimbra {

class IObjectAdvance : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{158B6550-0D39-4E67-A5C2-01F52E9A4723}";

  // Moves object on to the one the element wants next; none when there is none.
  virtual void Advance(const TRef<ITree>& slideShowTree, TRef<ITreeItem>& object) = 0;
};

}  // namespace nimbra
