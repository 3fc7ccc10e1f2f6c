#include "app/DesktopChanger.h"

#include <QCoreApplication>
#include <QEvent>
#include <algorithm>
#include <climits>
#include <utility>

#include "framework/TickCount.h"
#include "platform/WallpaperSetter.h"

namespace nimbra {

namespace {

// The position after moving by delta, wrapped into 0 … count - 1. A negative index means that no
// page has been shown yet: moving forward starts at the first page, moving back at the last, and
// showing the current page again shows the first.
int32_t WrappedIndex(int32_t index, int32_t delta, int32_t count) {
  int64_t target = 0;
  if (index < 0) {
    target = delta > 0 ? int64_t{delta} - 1 : delta;
  } else {
    target = int64_t{index} + delta;
  }
  target %= count;
  if (target < 0) target += count;
  return static_cast<int32_t>(target);
}

const auto kThreadEndEvent = static_cast<QEvent::Type>(QEvent::User + 1);

// Hears, on the main thread, that a render thread has ended. The thread posts a bare event (the
// only kind this receiver is sent) and leaves what ended in an atomic: nothing the thread wrote is
// read from the event, so the hand-over is ordered by that atomic alone, where a thread checker
// sees it.
class TThreadEndReceiver final : public QObject {
 public:
  explicit TThreadEndReceiver(std::function<void()> ended) : ended_(std::move(ended)) {}

 protected:
  void customEvent(QEvent*) override { ended_(); }

 private:
  std::function<void()> ended_;
};

}  // namespace

TNimbraDesktopChanger::TNimbraDesktopChanger()
    : screenLayout_(&ScreenGeometries),
      receiver_(std::make_unique<TThreadEndReceiver>(
          [this] { ThreadEnded(endedGeneration_.load(std::memory_order_acquire)); })) {}

TNimbraDesktopChanger::~TNimbraDesktopChanger() {
  WaitForChange();
  pages_.reset();
}

void TNimbraDesktopChanger::SetPageList(std::unique_ptr<IPageRenderer> pages) {
  WaitForChange();
  pages_ = std::move(pages);
}

int32_t TNimbraDesktopChanger::PageCount() const { return pages_ ? pages_->PageCount() : 0; }

void TNimbraDesktopChanger::SetWallpaperSetter(std::unique_ptr<TWallpaperSetter> setter) {
  WaitForChange();
  setter_ = std::move(setter);
}

void TNimbraDesktopChanger::SetScreenLayoutFunction(TScreenLayoutFunction function) {
  screenLayout_ = std::move(function);
}

void TNimbraDesktopChanger::SetScreenGeometryFunction(TScreenGeometryFunction function) {
  screenLayout_ = [function = std::move(function)] {
    std::optional<TScreenGeometry> screen = function ? function() : std::nullopt;
    return screen ? std::vector<TScreenGeometry>{std::move(*screen)}
                  : std::vector<TScreenGeometry>();
  };
}

void TNimbraDesktopChanger::CheckInterval() {
  if (TickCount() > nextChange_) MoveBy(+1);
}

void TNimbraDesktopChanger::MoveBy(int32_t delta) {
  lastChange_ = TickCount();
  // The clock is 64 bits wide: unlike a 32-bit tick count it does not wrap after 49.7 days, which
  // would make every timer tick find the next change overdue.
  nextChange_ = lastChange_ + static_cast<uint64_t>(std::max(interval_, 0));
  const int32_t count = PageCount();
  if (count <= 0) return;
  // Consecutive pages on n screens: the next change begins after the last page shown (the
  // first change begins at the first page).
  const int64_t screens =
      pageIndex_ >= 0 && screenPages_ == TScreenPages::ConsecutivePages && screenLayout_
          ? std::max<int64_t>(int64_t(screenLayout_().size()), 1)
          : 1;
  const int64_t step = std::clamp<int64_t>(delta * screens, INT32_MIN + 1, INT32_MAX);
  pageIndex_ = WrappedIndex(pageIndex_, static_cast<int32_t>(step), count);
  StartChange(pageIndex_);
}

void TNimbraDesktopChanger::SetInterval(int32_t milliseconds) {
  interval_ = milliseconds;
  nextChange_ = lastChange_ + static_cast<uint64_t>(std::max(milliseconds, 0));
}

void TNimbraDesktopChanger::StartChange(int32_t index) {
  if (thread_ && !thread_->Finished()) {
    // Waiting here would block the menu and the timer for as long as an idle-priority render
    // takes; the change follows the running one instead.
    pending_ = index;
    return;
  }
  thread_.reset();
  StartThread(index);
}

std::vector<TScreenPage> TNimbraDesktopChanger::PagesOnScreens(
    int32_t index, const std::vector<TScreenGeometry>& screens) const {
  const int32_t count = PageCount();
  std::vector<TScreenPage> pages;
  for (size_t i = 0; i < screens.size(); ++i) {
    const int64_t offset = screenPages_ == TScreenPages::ConsecutivePages ? int64_t(i) : 0;
    pages.push_back({screens[i], static_cast<int32_t>((index + offset) % count)});
  }
  return pages;
}

void TNimbraDesktopChanger::StartThread(int32_t index) {
  if (!pages_ || index < 0 || index >= pages_->PageCount()) return;
  const std::vector<TScreenGeometry> screens =
      screenLayout_ ? screenLayout_() : std::vector<TScreenGeometry>();
  const bool known = !screens.empty() && std::none_of(screens.begin(), screens.end(),
                                                      [](const TScreenGeometry& screen) {
                                                        return screen.WorkArea.IsEmpty();
                                                      });
  if (!known) {
    ReportFault("Die Größe des Bildschirms ist nicht bekannt.", OnRenderError);
    return;
  }
  shownScreens_ = screens;
  const uint64_t generation = ++generation_;
  thread_ = std::make_unique<TChangeBackgroundThread>(*pages_, setter_.get(),
                                                      PagesOnScreens(index, screens));
  thread_->OnDone = [this] {
    if (OnChangeDone) OnChangeDone();
  };
  QObject* receiver = receiver_.get();
  thread_->Resume([this, receiver, generation] {
    endedGeneration_.store(generation, std::memory_order_release);
    QCoreApplication::postEvent(receiver, new QEvent(kThreadEndEvent));
  });
  if (OnChangeStart) OnChangeStart();
}

void TNimbraDesktopChanger::ThreadEnded(uint64_t generation) {
  if (thread_ && generation == generation_ && !thread_->Finished()) CompleteThread();
}

void TNimbraDesktopChanger::CompleteThread() {
  // Everything is taken out before the notifications run: a handler may show a message box, whose
  // event loop can start (and so free) changes; thread_ is not touched after Complete.
  thread_->Join();
  const int32_t page = thread_->PageIndex();
  const bool succeeded = thread_->Succeeded();
  const bool failed = thread_->Failed();
  const std::string message = thread_->ErrorMessage();
  const std::vector<std::string> warnings = thread_->Warnings();
  const std::string refusal =
      !failed && !succeeded && setter_ ? setter_->LastError() : std::string();
  const std::optional<int32_t> next = std::exchange(pending_, std::nullopt);
  thread_->Complete();
  if (!failed) ReportWarnings(warnings);
  if (succeeded) {
    shownPageIndex_ = page;
    reportedFault_.clear();
  } else if (failed) {
    ReportFault(message, OnRenderError);
  } else if (!refusal.empty()) {
    ReportFault(refusal, OnWallpaperError);
  }
  if (next) StartChange(*next);
}

void TNimbraDesktopChanger::ReportFault(const std::string& reason,
                                        const TErrorFunction& handler) {
  if (reason == reportedFault_) return;
  reportedFault_ = reason;
  if (handler) handler(reason);
}

void TNimbraDesktopChanger::ReportWarnings(const std::vector<std::string>& warnings) {
  std::string text;
  for (const std::string& warning : warnings) {
    if (!reportedWarnings_.insert(warning).second) continue;
    text += (text.empty() ? "" : "\n") + warning;
  }
  if (!text.empty() && OnRenderWarning) OnRenderWarning(text);
}

void TNimbraDesktopChanger::WaitForChange() {
  while (thread_ && !thread_->Finished()) CompleteThread();
  thread_.reset();
}

void TNimbraDesktopChanger::ScreenChanged() {
  if (pageIndex_ < 0 || pageIndex_ >= PageCount() || shownScreens_.empty()) return;
  const std::vector<TScreenGeometry> screens =
      screenLayout_ ? screenLayout_() : std::vector<TScreenGeometry>();
  if (screens.empty() || screens == shownScreens_) return;
  StartChange(pageIndex_);
}

}  // namespace nimbra
