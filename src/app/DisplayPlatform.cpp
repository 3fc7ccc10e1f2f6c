#include "app/DisplayPlatform.h"

#include <X11/Xlib.h>

#include <cstdlib>

namespace nimbra {

namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

bool XDisplayReachable() {
  if (!IsSet("DISPLAY")) return false;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  XCloseDisplay(display);
  return true;
}

}  // namespace

void ChooseOffscreenPlatformWithoutDisplay() {
  if (IsSet("QT_QPA_PLATFORM") || IsSet("WAYLAND_DISPLAY") || XDisplayReachable()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

}  // namespace nimbra
