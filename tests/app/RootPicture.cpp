#include "RootPicture.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace nimbra::test {

std::optional<unsigned long> RootPicturePixel(const std::string& displayName, int x, int y) {
  Display* display = XOpenDisplay(displayName.c_str());
  if (display == nullptr) return std::nullopt;
  std::optional<unsigned long> pixel;
  const Atom atom = XInternAtom(display, "_XROOTPMAP_ID", True);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (atom != 0 &&
      XGetWindowProperty(display, DefaultRootWindow(display), atom, 0, 1, False, XA_PIXMAP, &type,
                         &format, &count, &after, &data) == Success &&
      type == XA_PIXMAP && count == 1) {
    const Pixmap pixmap = *reinterpret_cast<Pixmap*>(data);
    if (XImage* image = XGetImage(display, pixmap, x, y, 1, 1, AllPlanes, ZPixmap)) {
      pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
      XDestroyImage(image);
    }
  }
  if (data != nullptr) XFree(data);
  XCloseDisplay(display);
  return pixel;
}

}  // namespace nimbra::test
