#include "app/ChangeBackgroundThread.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <new>
#include <utility>

#include "album/PageRenderer.h"
#include "platform/WallpaperSetter.h"
#include "raster/Blend.h"
#include "raster/PixelMemory.h"
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

TChangeBackgroundThread::TChangeBackgroundThread(IPageRenderer& renderer, TWallpaperSetter* setter,
                                                 int32_t pageIndex, TScreenGeometry screen)
    : renderer_(renderer), setter_(setter), pageIndex_(pageIndex), screen_(screen) {}

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
  // 1., 2. the work area and resolution were taken on the main thread, which owns the screens
  // 3. the page at the work area's size
  TBitmap32 page;
  try {
    page = renderer_.RenderPage(pageIndex_, screen_.WorkArea.Width(), screen_.WorkArea.Height(),
                                screen_.Dpi);
  } catch (const ENimbraError& error) {
    failed_ = true;
    errorMessage_ = error.what();
  } catch (...) {
    // The thread's entry point: anything escaping it would end the album, so a failed allocation
    // or a fault of our own is still reported as a page not drawn.
    failed_ = true;
    errorMessage_ = "Die Seite konnte nicht gezeichnet werden.";
  }
  try {
    warnings_ = renderer_.TakeWarnings();
  } catch (const std::bad_alloc&) {
    warnings_.clear();  // only words are lost; the page is drawn
  }
  // 4. onto the screen, 5. as the wallpaper; an empty page is no picture worth showing
  if (!failed_ && !page.Empty()) {
    TBitmap32 composed = ComposeOnScreen(std::move(page), screen_);
    if (setter_ != nullptr) wallpaperSet_ = setter_->SetWallpaper(composed);
    succeeded_ = setter_ == nullptr || wallpaperSet_;
    // The desktop has its copy; the next page of the work area's size is drawn into this one.
    if (composed.Width() == screen_.WorkArea.Width() &&
        composed.Height() == screen_.WorkArea.Height()) {
      renderer_.GiveBack(std::move(composed));
    }
  }
  // The album idles until the next change: a pixel block kept for reuse goes back to the system.
  ReleaseSparePixels();
  // 6. the main thread finishes the change
  if (ended_) ended_();
}

}  // namespace nimbra
