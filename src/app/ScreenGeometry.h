// The size a wallpaper is made for: the whole screen, the part of it not covered by panels (the
// work area, where the page is drawn), and the screen's resolution. All in device pixels, so a
// scaled display gets a sharp picture.
#pragma once

#include <string>
#include <vector>

#include "raster/Bitmap32.h"

namespace nimbra {

struct TScreenGeometry {
  TRect Screen;  // where the screen lies on the desktop
  TRect WorkArea;
  double Dpi = 96.0;
  std::string Name;  // the connector ("HDMI-1"); empty when unknown
  bool operator==(const TScreenGeometry&) const = default;
};

// Every screen as Qt reports it, in reading order (left to right, then top to bottom), so that
// consecutive pages run across the desk as a book's do. Empty without a QGuiApplication. Call on
// the GUI thread.
std::vector<TScreenGeometry> ScreenGeometries();

// The rectangle around all screens and the desktop's origin: the desktop a spanning picture
// covers. Empty without screens.
TRect DesktopBounds(const std::vector<TScreenGeometry>& screens);

// A screen of the given size that is all work area (`--work-area=WxH`, headless runs).
TScreenGeometry FixedScreenGeometry(int width, int height, double dpi = 96.0);

}  // namespace nimbra
