#include "platform/X11Wallpaper.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <bit>
#include <cstddef>
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

constexpr int kNativeByteOrder = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;

// The bits per pixel of the server's images of a depth; 0 when it has none.
int BitsPerPixel(Display* display, int depth) {
  int count = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
  int bits = 0;
  for (int i = 0; i < count; ++i) {
    if (formats[i].depth == depth) bits = formats[i].bits_per_pixel;
  }
  if (formats != nullptr) XFree(formats);
  return bits;
}

// Whether the page's 0xAARRGGBB words are the visual's pixels as they stand: 32 bits each, red,
// green and blue in the low three bytes. Then the page goes to the server without conversion.
bool PageLayoutFits(Display* display, Visual* visual, int depth) {
  return visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 &&
         visual->blue_mask == 0xFF && BitsPerPixel(display, depth) == 32;
}

// For other visuals (16-bit colour, odd masks): the page converted pixel by pixel.
std::unique_ptr<XImage, TImageDestroy> ConvertedImage(Display* display, Visual* visual, int depth,
                                                      const TBitmap32& page, int width,
                                                      int height) {
  std::unique_ptr<XImage, TImageDestroy> image(
      XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                   static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0));
  if (!image) throw EWallpaperError("die Seite lässt sich nicht in ein X-Bild wandeln");
  // XDestroyImage frees the pixels with free().
  image->data = static_cast<char*>(
      std::malloc(static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(height)));
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

// Copies the page's top-left width × height pixels into the pixmap from the page's own memory,
// in one request (Xlib splits it into as many as the server's request size needs). A shared
// memory segment would need the page copied into it, which costs more than the socket's copy: a
// fresh segment is faulted in page by page. False when the visual's layout is not the page's.
bool PutPageDirectly(Display* display, Drawable pixmap, GC gc, Visual* visual, int depth,
                     const TBitmap32& page, int width, int height) {
  if (!PageLayoutFits(display, visual, depth)) return false;
  const auto w = static_cast<unsigned>(width);
  const auto h = static_cast<unsigned>(height);
  // The page's rows as they lie in memory; Xlib swaps bytes itself for a server of the other order.
  XImage image{};
  image.width = page.Width();
  image.height = page.Height();
  image.format = ZPixmap;
  image.data = reinterpret_cast<char*>(const_cast<TColor32*>(page.Bits()));
  image.byte_order = kNativeByteOrder;
  image.bitmap_unit = 32;
  image.bitmap_bit_order = kNativeByteOrder;
  image.bitmap_pad = 32;
  image.depth = depth;
  image.bytes_per_line = page.Width() * 4;
  image.bits_per_pixel = 32;
  image.red_mask = visual->red_mask;
  image.green_mask = visual->green_mask;
  image.blue_mask = visual->blue_mask;
  if (XInitImage(&image) == 0) return false;
  XPutImage(display, pixmap, gc, &image, 0, 0, 0, 0, w, h);
  return true;
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

// The page in a pixmap of its own on the server, not shown yet. Until Show, the pixmap goes with
// the connection when this is dropped.
class TRootPictureUpload {
 public:
  TRootPictureUpload(const std::string& displayName, const TBitmap32& page);
  void Show();

 private:
  std::unique_ptr<Display, TDisplayClose> display_;
  Pixmap pixmap_ = None;
};

TRootPictureUpload::TRootPictureUpload(const std::string& displayName, const TBitmap32& page) {
  if (page.Empty()) throw EWallpaperError("die Seite ist leer");
  display_.reset(XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str()));
  if (!display_) {
    const char* fallback = std::getenv("DISPLAY");
    const std::string name = displayName.empty() && fallback != nullptr ? fallback : displayName;
    throw EWallpaperError(name.empty() ? std::string("die Umgebungsvariable DISPLAY ist nicht gesetzt")
                                       : "die X-Anzeige " + name + " ist nicht erreichbar");
  }
  Display* d = display_.get();
  TErrorTrap trap(d);
  const int screen = DefaultScreen(d);
  const Window root = RootWindow(d, screen);
  const int width = DisplayWidth(d, screen);
  const int height = DisplayHeight(d, screen);

  pixmap_ = XCreatePixmap(d, root, static_cast<unsigned>(width), static_cast<unsigned>(height),
                          static_cast<unsigned>(DefaultDepth(d, screen)));
  GC gc = XCreateGC(d, pixmap_, 0, nullptr);
  const int copyWidth = std::min(width, page.Width());
  const int copyHeight = std::min(height, page.Height());
  // Only what the page leaves uncovered is painted black.
  if (copyWidth < width || copyHeight < height) {
    XSetForeground(d, gc, BlackPixel(d, screen));
    XFillRectangle(d, pixmap_, gc, 0, 0, static_cast<unsigned>(width),
                   static_cast<unsigned>(height));
  }
  Visual* visual = DefaultVisual(d, screen);
  if (visual->c_class != TrueColor) {
    throw EWallpaperError("der X-Bildschirm hat keine Echtfarben-Darstellung (TrueColor)");
  }
  const int depth = DefaultDepth(d, screen);
  if (!PutPageDirectly(d, pixmap_, gc, visual, depth, page, copyWidth, copyHeight)) {
    const auto image = ConvertedImage(d, visual, depth, page, copyWidth, copyHeight);
    XPutImage(d, pixmap_, gc, image.get(), 0, 0, 0, 0, static_cast<unsigned>(copyWidth),
              static_cast<unsigned>(copyHeight));
  }
  XFreeGC(d, gc);
  if (const int error = trap.Sync(d)) {
    throw EWallpaperError("der X-Server hat die Seite nicht angenommen: " + ErrorText(d, error));
  }
}

void TRootPictureUpload::Show() {
  Display* d = display_.get();
  TErrorTrap trap(d);
  const Window root = DefaultRootWindow(d);
  FreePreviousPixmap(d, root, trap);

  const Atom rootProperty = XInternAtom(d, "_XROOTPMAP_ID", False);
  const Atom esetrootProperty = XInternAtom(d, "ESETROOT_PMAP_ID", False);
  XChangeProperty(d, root, rootProperty, XA_PIXMAP, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pixmap_), 1);
  XChangeProperty(d, root, esetrootProperty, XA_PIXMAP, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pixmap_), 1);
  XSetWindowBackgroundPixmap(d, root, pixmap_);
  XClearWindow(d, root);
  if (const int error = trap.Sync(d)) {
    throw EWallpaperError("der X-Server hat den Hintergrund nicht gesetzt: " + ErrorText(d, error));
  }
  // Read back as a panel or a terminal would: the root names our pixmap.
  if (PixmapProperty(d, root, rootProperty) != pixmap_ ||
      PixmapProperty(d, root, esetrootProperty) != pixmap_) {
    throw EWallpaperError("das Wurzelfenster nennt nach dem Setzen ein anderes Bild");
  }
  // The pixmap must outlive this connection: the server keeps everything we made.
  XSetCloseDownMode(d, RetainPermanent);
}

}  // namespace

void SetRootWindowPicture(const std::string& displayName, const TBitmap32& page) {
  TRootPictureUpload(displayName, page).Show();
}

TX11WallpaperBackend::TX11WallpaperBackend(std::string displayName)
    : displayName_(std::move(displayName)) {}

void TX11WallpaperBackend::Apply(const TWallpaperPicture& picture) { Prepare(picture).Show(); }

TPreparedWallpaper TX11WallpaperBackend::Prepare(const TWallpaperPicture& picture) {
  if (picture.Page == nullptr) throw EWallpaperError("es wurde keine Seite übergeben");
  auto upload = std::make_shared<TRootPictureUpload>(displayName_, *picture.Page);
  return TPreparedWallpaper([upload] { upload->Show(); });
}

}  // namespace nimbra
