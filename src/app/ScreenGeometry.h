// The size a wallpaper is made for: the whole screen, the part of it not covered by panels (the
// work area, where the page is drawn), and the screen's resolution. All in device pixels, so a
// scaled display gets a sharp picture.
#pragma once

#include <optional>

#include "raster/Bitmap32.h"

namespace nimbra {

struct TScreenGeometry {
  TRect Screen;
  TRect WorkArea;
  double Dpi = 96.0;
  bool operator==(const TScreenGeometry&) const = default;
};

// The primary screen as Qt reports it; none without a QGuiApplication or a screen. Call on the
// GUI thread.
std::optional<TScreenGeometry> PrimaryScreenGeometry();

// A screen of the given size that is all work area (`--work-area=WxH`, headless runs).
TScreenGeometry FixedScreenGeometry(int width, int height, double dpi = 96.0);

}  // namespace nimbra
