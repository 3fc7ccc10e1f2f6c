// "x11": bare X11 and tiling window managers. The page becomes a pixmap that the server keeps after
// we disconnect; the root window shows it, and _XROOTPMAP_ID and ESETROOT_PMAP_ID name it for
// terminals and panels that draw themselves "transparent". The pixmap a previous setter left in
// the same way is freed, so pages do not pile up in the server.
#pragma once

#include <string>

#include "platform/WallpaperBackend.h"

namespace nimbra {

// Sets the page as the root window's background on the display (empty: $DISPLAY). A page smaller
// than the screen sits at the top left on black. Raises EWallpaperError.
void SetRootWindowPicture(const std::string& displayName, const TBitmap32& page);

class TX11WallpaperBackend : public TWallpaperBackend {
 public:
  explicit TX11WallpaperBackend(std::string displayName = {});

  std::string Name() const override { return "x11"; }
  std::string Title() const override { return "X11"; }
  // Takes the pixels, not the file; the file is written all the same, while the page uploads.
  TWallpaperNeeds Needs() const override { return {.ReadsFile = false}; }
  void Apply(const TWallpaperPicture& picture) override;
  // Uploads the page into a pixmap of its own; Show makes it the root window's background.
  TPreparedWallpaper Prepare(const TWallpaperPicture& picture) override;

 private:
  std::string displayName_;
};

}  // namespace nimbra
