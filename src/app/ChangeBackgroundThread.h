// One wallpaper change on a thread of its own at idle priority, so the desktop stays responsive
// while a page renders: each screen's page is drawn at the size of that screen's work area, placed
// on a black bitmap of the screen's size, the screens' bitmaps side by side as they stand on the
// desk, and the whole handed to the wallpaper setter. The thread never waits for the main thread;
// its end is announced through a function it calls last, and the main thread completes it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/ScreenGeometry.h"
#include "raster/Bitmap32.h"

namespace nimbra {

class IPageRenderer;
class TWallpaperSetter;

// The rendered page on a screen-size bitmap filled with opaque black, its top-left corner at the
// work area's place on the screen. A page that already has the screen's size is kept as it is,
// and so is the page when the screen-size bitmap cannot be made.
TBitmap32 ComposeOnScreen(TBitmap32 page, const TScreenGeometry& screen);

// A screen and the page it shows.
struct TScreenPage {
  TScreenGeometry Screen;
  int32_t PageIndex = 0;
};

// The screens' pictures (each of its screen's size) on one bitmap around all screens, black where
// no screen lies; its top-left corner is that of the desktop.
TBitmap32 ComposeDesktop(const std::vector<TScreenPage>& pages,
                         const std::vector<TBitmap32>& pictures);

class TChangeBackgroundThread {
 public:
  // renderer is required; setter may be none (the pages are rendered but not shown); at least
  // one screen.
  TChangeBackgroundThread(IPageRenderer& renderer, TWallpaperSetter* setter,
                          std::vector<TScreenPage> pages);
  // Waits for the thread when it still runs.
  ~TChangeBackgroundThread();
  TChangeBackgroundThread(const TChangeBackgroundThread&) = delete;
  TChangeBackgroundThread& operator=(const TChangeBackgroundThread&) = delete;

  // Starts the thread; it calls ended (on the thread, as the very last thing it does). Once only.
  void Resume(std::function<void()> ended);
  // Blocks until the thread has ended; the results below are valid from then on.
  void Join();

  // Raised by Complete, on the main thread.
  std::function<void()> OnDone;
  // Main thread: marks the change finished and raises OnDone; later calls do nothing. Joins first.
  void Complete();
  bool Finished() const { return finished_; }

  // The page of the first screen.
  int32_t PageIndex() const { return pages_.front().PageIndex; }
  const std::vector<TScreenPage>& Pages() const { return pages_; }
  // The message of what rendering raised; empty when it did not.
  const std::string& ErrorMessage() const { return errorMessage_; }
  bool Failed() const { return failed_; }
  // What the page was drawn without (see IPageRenderer::TakeWarnings).
  const std::vector<std::string>& Warnings() const { return warnings_; }
  // Whether the wallpaper setter took the page.
  bool WallpaperSet() const { return wallpaperSet_; }
  // The page was drawn and, when there is a wallpaper setter, the desktop took it.
  bool Succeeded() const { return succeeded_; }

 private:
  void Execute();
  // Each screen's page on its screen; empty when one could not be drawn.
  std::vector<TBitmap32> RenderScreens();
  void Show(std::vector<TBitmap32> pictures);

  IPageRenderer& renderer_;
  TWallpaperSetter* setter_;
  const std::vector<TScreenPage> pages_;
  std::function<void()> ended_;
  std::thread thread_;
  bool finished_ = false;
  // Written by the thread before it ends; read after Join.
  bool failed_ = false;
  std::string errorMessage_;
  std::vector<std::string> warnings_;
  bool wallpaperSet_ = false;
  bool succeeded_ = false;
};

}  // namespace nimbra
