// What the desktop changer needs of the album's pages: how many there are, and one of them drawn
// at a size. The album implements it over its page list and the picture engine; the changer owns
// it, and with it the pages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raster/Bitmap32.h"

namespace nimbra {

class IPageRenderer {
 public:
  virtual ~IPageRenderer() = default;
  // Asked on the main thread; must not change while a page renders.
  virtual int32_t PageCount() const = 0;
  // Called on the render thread, one page at a time, with 0 <= pageIndex < PageCount(). Yields a
  // bitmap the caller owns, or raises with a message a user can read.
  virtual TBitmap32 RenderPage(int32_t pageIndex, int width, int height, double dpi) = 0;
  // Called on the render thread after RenderPage: what the page was drawn without (a picture not
  // found or not readable), in the user's words, each said once; none by default.
  virtual std::vector<std::string> TakeWarnings() { return {}; }
  // Called on the render thread with a page RenderPage yielded once nothing needs it any more:
  // a renderer may draw the next page of that size into it. Dropped by default.
  virtual void GiveBack(TBitmap32 /*page*/) {}
};

}  // namespace nimbra
