// clang-format off
// GoogleTest first: Xlib's macros (None, Bool, Status) would break its declarations.
#include <gtest/gtest.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on

#include "PlatformTestSession.h"
#include "platform/X11Wallpaper.h"

namespace nimbra {
namespace {

int lastXError = 0;
int RecordXError(Display*, XErrorEvent* event) {
  lastXError = event->error_code;
  return 0;
}

// What a user (or a "transparent" terminal) sees of the root window, read on a connection of
// our own.
class TRootReader {
 public:
  explicit TRootReader(const std::string& display) : display_(XOpenDisplay(display.c_str())) {}
  ~TRootReader() {
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  TRootReader(const TRootReader&) = delete;
  TRootReader& operator=(const TRootReader&) = delete;

  bool Open() const { return display_ != nullptr; }
  Window Root() const { return DefaultRootWindow(display_); }

  Pixmap Property(const char* name) const {
    const Atom atom = XInternAtom(display_, name, True);
    if (atom == None) return None;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Pixmap result = None;
    if (XGetWindowProperty(display_, Root(), atom, 0, 1, False, XA_PIXMAP, &type, &format, &count,
                           &after, &data) == Success &&
        type == XA_PIXMAP && count == 1) {
      result = *reinterpret_cast<Pixmap*>(data);
    }
    if (data != nullptr) XFree(data);
    return result;
  }

  // The drawable's pixels as 0xRRGGBB, or nothing when the server has no such drawable.
  std::vector<unsigned long> Pixels(Drawable drawable, int width, int height,
                                    const std::vector<std::pair<int, int>>& points) const {
    lastXError = 0;
    XErrorHandler previous = XSetErrorHandler(RecordXError);
    XImage* image = XGetImage(display_, drawable, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    XSync(display_, False);
    XSetErrorHandler(previous);
    std::vector<unsigned long> pixels;
    if (image == nullptr) return pixels;
    for (const auto& [x, y] : points) pixels.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
    XDestroyImage(image);
    return pixels;
  }

  // Every pixel of the drawable as 0xRRGGBB, row by row; nothing when the server has no such
  // drawable.
  std::vector<unsigned long> AllPixels(Drawable drawable, int width, int height) const {
    std::vector<std::pair<int, int>> points;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) points.emplace_back(x, y);
    }
    return Pixels(drawable, width, height, points);
  }

  bool Exists(Pixmap pixmap) const {
    lastXError = 0;
    XErrorHandler previous = XSetErrorHandler(RecordXError);
    Window root = None;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    const Status found =
        XGetGeometry(display_, pixmap, &root, &x, &y, &width, &height, &border, &depth);
    XSync(display_, False);
    XSetErrorHandler(previous);
    return found != 0 && lastXError == 0;
  }

 private:
  Display* display_;
};

std::vector<unsigned long> Expected(const TBitmap32& page,
                                    const std::vector<std::pair<int, int>>& points) {
  std::vector<unsigned long> pixels;
  for (const auto& [x, y] : points) {
    const bool inside = x < page.Width() && y < page.Height();
    pixels.push_back(inside ? page.Pixel(x, y) & 0xFFFFFF : 0);
  }
  return pixels;
}

TEST(X11WallpaperTest, RootPixmapHoldsThePageAndThePreviousOneIsFreed) {
  test::TXvfb xvfb;
  ASSERT_EQ(xvfb.Start(320, 240), "");
  TX11WallpaperBackend backend(xvfb.Display());
  const std::vector<std::pair<int, int>> points{{0, 0},     {319, 0},   {0, 239},
                                                {319, 239}, {160, 120}, {250, 200}};

  const TBitmap32 first = test::QuadrantPage(320, 240, 0x5A);
  TWallpaperPicture picture;
  picture.Page = &first;
  backend.Apply(picture);

  TRootReader reader(xvfb.Display());
  ASSERT_TRUE(reader.Open());
  const Pixmap firstPixmap = reader.Property("_XROOTPMAP_ID");
  ASSERT_NE(firstPixmap, static_cast<Pixmap>(None));
  EXPECT_EQ(reader.Property("ESETROOT_PMAP_ID"), firstPixmap);
  EXPECT_EQ(reader.Pixels(firstPixmap, 320, 240, points), Expected(first, points));
  // No window covers the root here, so this is the picture on the screen.
  EXPECT_EQ(reader.Pixels(reader.Root(), 320, 240, points), Expected(first, points));

  // A smaller page sits at the top left on black.
  const TBitmap32 second = test::QuadrantPage(200, 100, 0xA5);
  picture.Page = &second;
  backend.Apply(picture);
  const Pixmap secondPixmap = reader.Property("_XROOTPMAP_ID");
  EXPECT_NE(secondPixmap, firstPixmap);
  EXPECT_EQ(reader.Property("ESETROOT_PMAP_ID"), secondPixmap);
  EXPECT_EQ(reader.Pixels(secondPixmap, 320, 240, points), Expected(second, points));
  EXPECT_EQ(reader.Pixels(reader.Root(), 320, 240, points), Expected(second, points));
  EXPECT_FALSE(reader.Exists(firstPixmap)) << "the first root pixmap was not freed";
  EXPECT_TRUE(reader.Exists(secondPixmap));
}

// A page whose every pixel differs from its neighbours, with a stray alpha byte the server must
// ignore.
TBitmap32 NoisyPage(int width, int height) {
  TBitmap32 page(width, height);
  uint32_t state = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      page.SetPixel(x, y, state);
    }
  }
  return page;
}

// The page goes to the server as its memory lies; every pixel arrives, also of a page wider and
// taller than the screen (cut) and of one smaller (on black).
TEST(X11WallpaperTest, EveryPixelArrives) {
  test::TXvfb xvfb;
  ASSERT_EQ(xvfb.Start(96, 64), "");
  TRootReader reader(xvfb.Display());
  ASSERT_TRUE(reader.Open());
  for (const auto& [width, height] : {std::pair{96, 64}, std::pair{130, 70}, std::pair{50, 33}}) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    const TBitmap32 page = NoisyPage(width, height);
    SetRootWindowPicture(xvfb.Display(), page);
    std::vector<unsigned long> expected;
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 96; ++x) {
        expected.push_back(x < width && y < height ? page.Pixel(x, y) & 0xFFFFFF : 0);
      }
    }
    EXPECT_EQ(reader.AllPixels(reader.Property("_XROOTPMAP_ID"), 96, 64), expected);
  }
}

TEST(X11WallpaperTest, NoDisplayIsAReason) {
  TBitmap32 page(4, 4);
  EXPECT_THROW(SetRootWindowPicture(":99999", page), EWallpaperError);
}

}  // namespace
}  // namespace nimbra
