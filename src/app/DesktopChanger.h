// The album's main loop: which page is on show, when the next one is due, and the change that
// renders it on a background thread and makes it the wallpaper. Everything here runs on the main
// thread; at most one render thread exists at a time.
#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "album/PageRenderer.h"
#include "album/ScreenPages.h"
#include "app/ChangeBackgroundThread.h"
#include "app/ScreenGeometry.h"

namespace nimbra {

class TWallpaperSetter;

class TDesktopChanger {
 public:
  using TNotification = std::function<void()>;

  TDesktopChanger() = default;
  virtual ~TDesktopChanger() = default;
  TDesktopChanger(const TDesktopChanger&) = delete;
  TDesktopChanger& operator=(const TDesktopChanger&) = delete;

  // Raised on the main thread when a change has finished, once per change.
  TNotification OnChangeDone;
  // Raised when a change has been started.
  TNotification OnChangeStart;

  virtual void CheckInterval() = 0;
};

class TNimbraDesktopChanger : public TDesktopChanger {
 public:
  using TScreenGeometryFunction = std::function<std::optional<TScreenGeometry>()>;
  using TScreenLayoutFunction = std::function<std::vector<TScreenGeometry>()>;
  using TErrorFunction = std::function<void(const std::string& message)>;

  static constexpr int32_t kDefaultInterval = 300000;

  TNimbraDesktopChanger();
  // Waits for the running change, then frees the pages.
  ~TNimbraDesktopChanger() override;

  // The current page; negative before the first change.
  int32_t PageIndex() const { return pageIndex_; }
  void SetPageIndex(int32_t index) { pageIndex_ = index; }
  // The page of the last change that reached the desktop (or, without a wallpaper setter, that
  // was drawn); -1 until one did. This, not the page asked for, is the page to remember.
  int32_t ShownPageIndex() const { return shownPageIndex_; }
  int32_t Interval() const { return interval_; }
  // Ticks (milliseconds on the framework's monotonic 64-bit clock) of the last change and of the
  // next automatic one.
  uint64_t LastChange() const { return lastChange_; }
  uint64_t NextChange() const { return nextChange_; }

  // The pages; waits for a running change before they are replaced.
  IPageRenderer* PageList() const { return pages_.get(); }
  void SetPageList(std::unique_ptr<IPageRenderer> pages);
  int32_t PageCount() const;
  // Where finished pages go; none renders without showing. Waits for a running change first.
  TWallpaperSetter* WallpaperSetter() const { return setter_.get(); }
  void SetWallpaperSetter(std::unique_ptr<TWallpaperSetter> setter);
  // Where the screens come from: every screen Qt knows unless replaced, by a list or by one
  // screen.
  void SetScreenLayoutFunction(TScreenLayoutFunction function);
  void SetScreenGeometryFunction(TScreenGeometryFunction function);
  // Whether several screens show the same page or consecutive ones. With consecutive pages a
  // change moves on by as many pages as there are screens, so that none is shown twice in a row.
  void SetScreenPages(TScreenPages pages) { screenPages_ = pages; }
  TScreenPages ScreenPages() const { return screenPages_; }

  // Hear, on the main thread, why a change did not reach the desktop: the message of a page that
  // could not be drawn, or the reason the desktop did not take it. Each reason is heard once, and
  // again only after a change has succeeded in between, so that a full disk at every timer tick
  // says so once. The wallpaper stays as it was and the album goes on.
  TErrorFunction OnRenderError;
  TErrorFunction OnWallpaperError;
  // Hear what a drawn page lacked (a picture not found), one line per reason; each reason is
  // heard once while the changer lives, however often its page comes round.
  TErrorFunction OnRenderWarning;

  // Timer tick: the next page once the interval has run out.
  void CheckInterval() override;
  // Moves the page index by delta (wrapping round the page count) and starts its change; restarts
  // the interval either way. Delta 0 renders the current page again.
  virtual void MoveBy(int32_t delta);
  // The interval from now on, measured from the last change.
  void SetInterval(int32_t milliseconds);
  // Renders the page; when a change is running, this one follows it (a later request replaces an
  // earlier one still waiting).
  void StartChange(int32_t index);
  // Returns once no change is running or waiting, the last one finished and freed.
  void WaitForChange();
  // Renders the current page again when the screens are no longer those it was made for.
  void ScreenChanged();

  // The running or last finished change; none before the first and once WaitForChange freed it.
  const TChangeBackgroundThread* Thread() const { return thread_.get(); }
  bool Changing() const { return (thread_ && !thread_->Finished()) || pending_.has_value(); }

 private:
  void StartThread(int32_t index);
  // The pages of a change starting at index, one per screen.
  std::vector<TScreenPage> PagesOnScreens(int32_t index,
                                          const std::vector<TScreenGeometry>& screens) const;
  // The thread's end reached the main thread.
  void ThreadEnded(uint64_t generation);
  // Completes the running thread: raises the notifications, then starts a waiting change.
  void CompleteThread();
  // Hands a fault to its handler unless the same reason was the last one heard.
  void ReportFault(const std::string& reason, const TErrorFunction& handler);
  // Hands the warnings not heard before to OnRenderWarning, together.
  void ReportWarnings(const std::vector<std::string>& warnings);

  int32_t pageIndex_ = -1;
  int32_t shownPageIndex_ = -1;
  int32_t interval_ = kDefaultInterval;
  uint64_t lastChange_ = 0;
  uint64_t nextChange_ = 0;
  std::unique_ptr<IPageRenderer> pages_;
  std::unique_ptr<TWallpaperSetter> setter_;
  TScreenLayoutFunction screenLayout_;
  TScreenPages screenPages_ = kDefaultScreenPages;
  // The screens of the last change started; empty before the first.
  std::vector<TScreenGeometry> shownScreens_;
  std::optional<int32_t> pending_;
  uint64_t generation_ = 0;
  std::unique_ptr<TChangeBackgroundThread> thread_;
  // The last fault heard since a change succeeded; empty when none.
  std::string reportedFault_;
  std::set<std::string> reportedWarnings_;
  // The generation of the change whose thread ended last, written by that thread.
  std::atomic<uint64_t> endedGeneration_{0};
  // Receives the render thread's end on the main thread; freed before anything it refers to.
  std::unique_ptr<QObject> receiver_;
};

}  // namespace nimbra
