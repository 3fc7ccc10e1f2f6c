#include "platform/X11Wallpaper.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <utility>

namespace nimbra {

namespace {

// Xlib's error handler belongs to the whole process; while we hold it, errors on our own
// connection are recorded instead of ending the program.
std::mutex errorMutex;
Display* watchedDisplay = nullptr;
int recordedError = 0;

int RecordError(Display* display, XErrorEvent* event) {
  if (display == watchedDisplay && recordedError == 0) recordedError = event->error_code;
  return 0;
}

class TErrorTrap {
 public:
  explicit TErrorTrap(Display* display) : lock_(errorMutex) {
    watchedDisplay = display;
    recordedError = 0;
    previous_ = XSetErrorHandler(RecordError);
  }
  ~TErrorTrap() {
    XSetErrorHandler(previous_);
    watchedDisplay = nullptr;
  }
  TErrorTrap(const TErrorTrap&) = delete;
  TErrorTrap& operator=(const TErrorTrap&) = delete;

  // Waits for the server to have handled every request; yields and forgets the first error.
  int Sync(Display* display) {
    XSync(display, False);
    return std::exchange(recordedError, 0);
  }

 private:
  std::unique_lock<std::mutex> lock_;
  XErrorHandler previous_ = nullptr;
};

struct TDisplayClose {
  void operator()(Display* display) const { XCloseDisplay(display); }
};
struct TImageDestroy {
  void operator()(XImage* image) const { XDestroyImage(image); }
};

std::string ErrorText(Display* display, int code) {
  char text[256] = {};
  XGetErrorText(display, code, text, sizeof text);
  return text;
}

// One 8-bit channel placed into a visual's mask.
unsigned long Channel(uint8_t value, unsigned long mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  const unsigned long scaled =
      bits <= 8 ? value >> (8 - bits) : static_cast<unsigned long>(value) << (bits - 8);
  return (scaled << shift) & mask;
}

std::unique_ptr<XImage, TImageDestroy> PageImage(Display* display, int screen,
                                                 const TBitmap32& page, int width, int height) {
  Visual* visual = DefaultVisual(display, screen);
  if (visual->c_class != TrueColor) {
    throw EWallpaperError("der X-Bildschirm hat keine Echtfarben-Darstellung (TrueColor)");
  }
  const auto depth = static_cast<unsigned>(DefaultDepth(display, screen));
  std::unique_ptr<XImage, TImageDestroy> image(XCreateImage(display, visual, depth, ZPixmap, 0,
                                                            nullptr, static_cast<unsigned>(width),
                                                            static_cast<unsigned>(height), 32, 0));
  if (!image) throw EWallpaperError("die Seite lässt sich nicht in ein X-Bild wandeln");
  // XDestroyImage frees the pixels with free().
  image->data = static_cast<char*>(
      std::calloc(static_cast<size_t>(image->bytes_per_line), static_cast<size_t>(height)));
  if (image->data == nullptr) throw EWallpaperError("zu wenig Speicher für das X-Bild");
  for (int y = 0; y < height; ++y) {
    const TColor32* row = page.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      const TColor32 c = row[x];
      XPutPixel(image.get(), x, y,
                Channel(RedComponent(c), visual->red_mask) |
                    Channel(GreenComponent(c), visual->green_mask) |
                    Channel(BlueComponent(c), visual->blue_mask));
    }
  }
  return image;
}

Pixmap PixmapProperty(Display* display, Window root, Atom property) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  Pixmap pixmap = None;
  if (XGetWindowProperty(display, root, property, 0, 1, False, AnyPropertyType, &type, &format,
                         &count, &after, &data) == Success &&
      type == XA_PIXMAP && format == 32 && count == 1 && data != nullptr) {
    pixmap = *reinterpret_cast<Pixmap*>(data);
  }
  if (data != nullptr) XFree(data);
  return pixmap;
}

// The previous setter's pixmap lives on only because its connection was retained; when both
// properties name it, killing that retained client frees it.
void FreePreviousPixmap(Display* display, Window root, TErrorTrap& trap) {
  const Atom rootProperty = XInternAtom(display, "_XROOTPMAP_ID", True);
  const Atom esetrootProperty = XInternAtom(display, "ESETROOT_PMAP_ID", True);
  if (rootProperty == None || esetrootProperty == None) return;
  const Pixmap current = PixmapProperty(display, root, rootProperty);
  if (current != None && current == PixmapProperty(display, root, esetrootProperty)) {
    XKillClient(display, current);
  }
  // Gone already (another setter freed it): nothing to report.
  trap.Sync(display);
}

}  // namespace

void SetRootWindowPicture(const std::string& displayName, const TBitmap32& page) {
  if (page.Empty()) throw EWallpaperError("die Seite ist leer");
  std::unique_ptr<Display, TDisplayClose> display(
      XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str()));
  if (!display) {
    const char* fallback = std::getenv("DISPLAY");
    const std::string name = displayName.empty() && fallback != nullptr ? fallback : displayName;
    throw EWallpaperError(name.empty() ? std::string("die Umgebungsvariable DISPLAY ist nicht gesetzt")
                                       : "die X-Anzeige " + name + " ist nicht erreichbar");
  }
  Display* d = display.get();
  TErrorTrap trap(d);
  const int screen = DefaultScreen(d);
  const Window root = RootWindow(d, screen);
  const int width = DisplayWidth(d, screen);
  const int height = DisplayHeight(d, screen);

  const Pixmap pixmap =
      XCreatePixmap(d, root, static_cast<unsigned>(width), static_cast<unsigned>(height),
                    static_cast<unsigned>(DefaultDepth(d, screen)));
  GC gc = XCreateGC(d, pixmap, 0, nullptr);
  XSetForeground(d, gc, BlackPixel(d, screen));
  XFillRectangle(d, pixmap, gc, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
  const int copyWidth = std::min(width, page.Width());
  const int copyHeight = std::min(height, page.Height());
  {
    const auto image = PageImage(d, screen, page, copyWidth, copyHeight);
    XPutImage(d, pixmap, gc, image.get(), 0, 0, 0, 0, static_cast<unsigned>(copyWidth),
              static_cast<unsigned>(copyHeight));
  }
  XFreeGC(d, gc);
  if (const int error = trap.Sync(d)) {
    throw EWallpaperError("der X-Server hat die Seite nicht angenommen: " + ErrorText(d, error));
  }

  FreePreviousPixmap(d, root, trap);

  const Atom rootProperty = XInternAtom(d, "_XROOTPMAP_ID", False);
  const Atom esetrootProperty = XInternAtom(d, "ESETROOT_PMAP_ID", False);
  XChangeProperty(d, root, rootProperty, XA_PIXMAP, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pixmap), 1);
  XChangeProperty(d, root, esetrootProperty, XA_PIXMAP, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pixmap), 1);
  XSetWindowBackgroundPixmap(d, root, pixmap);
  XClearWindow(d, root);
  if (const int error = trap.Sync(d)) {
    throw EWallpaperError("der X-Server hat den Hintergrund nicht gesetzt: " + ErrorText(d, error));
  }
  // Read back as a panel or a terminal would: the root names our pixmap.
  if (PixmapProperty(d, root, rootProperty) != pixmap ||
      PixmapProperty(d, root, esetrootProperty) != pixmap) {
    throw EWallpaperError("das Wurzelfenster nennt nach dem Setzen ein anderes Bild");
  }
  // The pixmap must outlive this connection: the server keeps everything we made.
  XSetCloseDownMode(d, RetainPermanent);
}

TX11WallpaperBackend::TX11WallpaperBackend(std::string displayName)
    : displayName_(std::move(displayName)) {}

void TX11WallpaperBackend::Apply(const TWallpaperPicture& picture) {
  if (picture.Page == nullptr) throw EWallpaperError("es wurde keine Seite übergeben");
  SetRootWindowPicture(displayName_, *picture.Page);
}

}  // namespace nimbra
