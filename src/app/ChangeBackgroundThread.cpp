#include "app/ChangeBackgroundThread.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <new>
#include <utility>

#include "album/PageRenderer.h"
#include "platform/WallpaperSetter.h"
#include "raster/Blend.h"
#include "raster/PixelMemory.h"
#include "storage/Check.h"
#include "storage/NimbraError.h"

namespace nimbra {

namespace {

// Rendering may take seconds of full CPU; at idle priority it only runs when nothing else wants
// the processor. SCHED_IDLE is the strong form; nice 19 stays in effect wherever it is refused.
void LowerOwnPriority() {
  sched_param parameter{};
  parameter.sched_priority = 0;
  pthread_setschedparam(pthread_self(), SCHED_IDLE, &parameter);
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
}

std::vector<TScreenGeometry> ScreensOf(const std::vector<TScreenPage>& pages) {
  std::vector<TScreenGeometry> screens;
  for (const TScreenPage& page : pages) screens.push_back(page.Screen);
  return screens;
}

// A screen's rectangle in the pixels of the picture around all screens, whose corner is desk's.
TRect OnDesk(const TRect& screen, const TRect& desk) {
  return {screen.Left - desk.Left, screen.Top - desk.Top, screen.Right - desk.Left,
          screen.Bottom - desk.Top};
}

bool SameSize(const TRect& a, const TRect& b) {
  return a.Width() == b.Width() && a.Height() == b.Height();
}

// Whether the work areas lie alike on their screens.
bool SameOffset(const TScreenGeometry& a, const TScreenGeometry& b) {
  return a.WorkArea.Left - a.Screen.Left == b.WorkArea.Left - b.Screen.Left &&
         a.WorkArea.Top - a.Screen.Top == b.WorkArea.Top - b.Screen.Top;
}

}  // namespace

TBitmap32 ComposeOnScreen(TBitmap32 page, const TScreenGeometry& screen) {
  const int width = screen.Screen.Width();
  const int height = screen.Screen.Height();
  if (page.Width() == width && page.Height() == height) return page;
  try {
    const int left = screen.WorkArea.Left - screen.Screen.Left;
    const int top = screen.WorkArea.Top - screen.Screen.Top;
    TBitmap32 composed;
    composed.SetSizeForOverwrite(width, height);
    // Black only where the page will not lie: above, below, left and right of it.
    const TRect covered = IntersectRect({left, top, left + page.Width(), top + page.Height()},
                                        composed.BoundsRect());
    for (const TRect& band : {TRect{0, 0, width, covered.Top},
                              TRect{0, covered.Bottom, width, height},
                              TRect{0, covered.Top, covered.Left, covered.Bottom},
                              TRect{covered.Right, covered.Top, width, covered.Bottom}}) {
      FillRect(composed, band, kColor32Black);
    }
    DrawBitmap(composed, left, top, page, TDrawMode::Opaque);
    return composed;
  } catch (const std::bad_alloc&) {
    return page;
  } catch (const EBitmapSizeError&) {
    return page;
  }
}

TBitmap32 ComposeDesktop(const std::vector<TScreenPage>& pages,
                         const std::vector<TBitmap32>& pictures) {
  const TRect desk = DesktopBounds(ScreensOf(pages));
  TBitmap32 desktop;
  desktop.SetSizeForOverwrite(desk.Width(), desk.Height());
  desktop.Clear(kColor32Black);
  for (size_t i = 0; i < pages.size() && i < pictures.size(); ++i) {
    const TRect place = OnDesk(pages[i].Screen.Screen, desk);
    DrawBitmap(desktop, place.Left, place.Top, pictures[i], TDrawMode::Opaque);
  }
  return desktop;
}

TChangeBackgroundThread::TChangeBackgroundThread(IPageRenderer& renderer, TWallpaperSetter* setter,
                                                 std::vector<TScreenPage> pages)
    : renderer_(renderer), setter_(setter), pages_(std::move(pages)) {
  NIMBRA_CHECK(!pages_.empty(), "a change needs a screen");
}

TChangeBackgroundThread::~TChangeBackgroundThread() { Join(); }

void TChangeBackgroundThread::Resume(std::function<void()> ended) {
  if (thread_.joinable()) return;
  ended_ = std::move(ended);
  thread_ = std::thread([this] { Execute(); });
}

void TChangeBackgroundThread::Join() {
  if (thread_.joinable()) thread_.join();
}

void TChangeBackgroundThread::Complete() {
  if (finished_) return;
  Join();
  finished_ = true;
  // A handler may free this thread (by starting the next change); nothing here is touched after.
  const std::function<void()> done = OnDone;
  if (done) done();
}

void TChangeBackgroundThread::Execute() {
  LowerOwnPriority();
  // 1., 2. the screens, their work areas and resolutions were taken on the main thread, which owns
  // the screens
  std::vector<TBitmap32> pictures = RenderScreens();
  try {
    warnings_ = renderer_.TakeWarnings();
  } catch (const std::bad_alloc&) {
    warnings_.clear();  // only words are lost; the page is drawn
  }
  if (!failed_ && !pictures.empty()) Show(std::move(pictures));
  // The album idles until the next change: a pixel block kept for reuse goes back to the system.
  ReleaseSparePixels();
  // 6. the main thread finishes the change
  if (ended_) ended_();
}

std::vector<TBitmap32> TChangeBackgroundThread::RenderScreens() {
  std::vector<TBitmap32> pictures;
  try {
    for (const TScreenPage& page : pages_) {
      const TScreenGeometry& screen = page.Screen;
      // Screens alike that show the same page share its drawing.
      const auto alike = std::find_if(pages_.begin(), pages_.begin() + ptrdiff_t(pictures.size()),
                                      [&](const TScreenPage& other) {
                                        return other.PageIndex == page.PageIndex &&
                                               other.Screen.Dpi == screen.Dpi &&
                                               SameSize(other.Screen.Screen, screen.Screen) &&
                                               SameSize(other.Screen.WorkArea, screen.WorkArea) &&
                                               SameOffset(other.Screen, screen);
                                      });
      if (alike != pages_.begin() + ptrdiff_t(pictures.size())) {
        pictures.push_back(pictures[size_t(alike - pages_.begin())]);
        continue;
      }
      // 3. the page at the work area's size; an empty page is no picture worth showing
      TBitmap32 drawn = renderer_.RenderPage(page.PageIndex, screen.WorkArea.Width(),
                                             screen.WorkArea.Height(), screen.Dpi);
      if (drawn.Empty()) return {};
      // 4. onto the screen
      pictures.push_back(ComposeOnScreen(std::move(drawn), screen));
    }
  } catch (const ENimbraError& error) {
    failed_ = true;
    errorMessage_ = error.what();
  } catch (...) {
    // The thread's entry point: anything escaping it would end the album, so a failed allocation
    // or a fault of our own is still reported as a page not drawn.
    failed_ = true;
    errorMessage_ = "Die Seite konnte nicht gezeichnet werden.";
  }
  return failed_ ? std::vector<TBitmap32>() : std::move(pictures);
}

void TChangeBackgroundThread::Show(std::vector<TBitmap32> pictures) {
  // 5. as the wallpaper: one screen's picture as it is, several side by side
  if (pages_.size() == 1) {
    const TScreenGeometry& first = pages_.front().Screen;
    TBitmap32 composed = std::move(pictures.front());
    if (setter_ != nullptr) wallpaperSet_ = setter_->SetWallpaper(composed);
    succeeded_ = setter_ == nullptr || wallpaperSet_;
    // The desktop has its copy; the next page of the work area's size is drawn into this one.
    if (composed.Width() == first.WorkArea.Width() &&
        composed.Height() == first.WorkArea.Height()) {
      renderer_.GiveBack(std::move(composed));
    }
    return;
  }
  TBitmap32 desktop;
  try {
    desktop = ComposeDesktop(pages_, pictures);
  } catch (const std::bad_alloc&) {
    failed_ = true;
    errorMessage_ = "Für das Bild aller Bildschirme reicht der Speicher nicht.";
    return;
  } catch (const EBitmapSizeError& error) {
    failed_ = true;
    errorMessage_ = error.what();
    return;
  }
  pictures.clear();
  if (setter_ != nullptr) {
    // Where each screen's part lies on the picture, for desktops that take one per screen.
    const std::vector<TScreenGeometry> geometries = ScreensOf(pages_);
    const TRect desk = DesktopBounds(geometries);
    std::vector<TWallpaperScreen> screens;
    for (const TScreenGeometry& screen : geometries) {
      TWallpaperScreen& part = screens.emplace_back();
      part.Name = screen.Name;
      part.Area = OnDesk(screen.Screen, desk);
    }
    wallpaperSet_ = setter_->SetWallpaper(desktop, screens);
  }
  succeeded_ = setter_ == nullptr || wallpaperSet_;
}

}  // namespace nimbra
