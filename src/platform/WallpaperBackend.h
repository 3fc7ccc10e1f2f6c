// One way of making a picture file the desktop wallpaper: each desktop has its own (settings keys,
// a D-Bus call, a helper program, the X root window). The wallpaper setter writes the files a
// backend asks for and hands it the page; the backend raises EWallpaperError with a reason a user
// can act on when the desktop refuses.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "raster/Bitmap32.h"
#include "storage/NimbraError.h"

namespace nimbra {

class EWallpaperError : public ENimbraError {
 public:
  using ENimbraError::ENimbraError;
};

// What a backend needs written before it is called.
struct TWallpaperNeeds {
  // The desktop ignores a change to the name it already shows, so every change needs a new name.
  bool FreshName = false;
  // The desktop's helper reads only PNG (swaybg without the BMP loader).
  bool Png = false;
  // The desktop reads the file. One that takes the page's pixels itself (the X root window)
  // prepares the change while the file is written beside it, and is not given the names.
  bool ReadsFile = true;
  // The desktop takes one picture per screen: with several screens each one's part of the page is
  // written as a file of its own besides the whole.
  bool FilePerScreen = false;
};

// One screen's part of a page that spans several screens, and the files written of that part for
// a desktop that takes one picture per screen (else empty).
struct TWallpaperScreen {
  std::string Name;  // the connector ("HDMI-1"); empty when unknown
  TRect Area;        // in the page's pixels
  std::string BitmapFile;
  std::string PngFile;
};

// One change as a backend sees it: the page and the files written for it (absolute paths; empty
// for a backend that does not read them).
struct TWallpaperPicture {
  const TBitmap32* Page = nullptr;
  std::string BitmapFile;
  std::string PngFile;  // empty unless the backend asked for PNG
  // Connector names of the connected monitors ("HDMI-1"), for desktops that keep one setting per
  // monitor and have none yet; empty when the caller does not know them.
  std::vector<std::string> MonitorNames;
  // With several screens, where each one lies on the page (in reading order); empty when the page
  // is for one screen.
  std::vector<TWallpaperScreen> Screens;
};

// A change made ready on the desktop's side and not shown yet; dropped unshown, it leaves the
// desktop as it was.
class TPreparedWallpaper {
 public:
  explicit TPreparedWallpaper(std::function<void()> show) : show_(std::move(show)) {}
  // Raises as Apply does.
  void Show() const { show_(); }

 private:
  std::function<void()> show_;
};

class TWallpaperBackend {
 public:
  virtual ~TWallpaperBackend() = default;
  // The name that selects it ("gnome", "x11", ...).
  virtual std::string Name() const = 0;
  // The desktop (or tool) as the user knows it, for messages: "GNOME", "Xfce"; the name unless
  // a backend says better.
  virtual std::string Title() const { return Name(); }
  virtual TWallpaperNeeds Needs() const = 0;
  // Points the desktop at the picture; raises EWallpaperError (or any std::exception) on failure.
  virtual void Apply(const TWallpaperPicture& picture) = 0;
  // For a backend that takes the page itself: the slow part of Apply, done while the file is
  // written, with the showing left for once the file is there. Raises as Apply does. By default
  // all of Apply waits for Show.
  virtual TPreparedWallpaper Prepare(const TWallpaperPicture& picture) {
    return TPreparedWallpaper([this, picture] { Apply(picture); });
  }
};

}  // namespace nimbra
