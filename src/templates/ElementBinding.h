// How the renderer binds slideshow objects to page elements: an element that consumes an object
// moves the renderer on to the next one, and a bound element remembers the slideshow tree item it
// stands for on the page being made.
#pragma once

#include <string_view>

#include "framework/CustomTree.h"
#include "framework/Interface.h"

namespace nimbra {

class IObjectConsumer : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{DB474A52-0FAA-46A8-9FC6-62CF1240790B}";

  // True when the element takes a slideshow object of its own.
  virtual bool TakesObject() const = 0;
};

class IObjectBoundElement : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{5EF6D123-0931-4937-9228-7D9BF66397A3}";

  // Binds the slideshow tree item (or none) to the element.
  virtual void BindObject(const TRef<ITreeItem>& item) = 0;
  // The bound item, or none.
  virtual TRef<ITreeItem> GetBoundObject() const = 0;
};

}  // namespace nimbra
