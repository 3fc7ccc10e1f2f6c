#include "ShellTestSupport.h"

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QThread>

#include "framework/TickCount.h"
#include "storage/NimbraError.h"

namespace nimbra::test {

namespace {

std::atomic<uint64_t> fakeNow{0};
uint64_t FakeTicks() { return fakeNow.load(); }

}  // namespace

QApplication& Application() {
  static int argc = 1;
  static char name[] = "nimbra_shell_tests";
  static char* argv[] = {name, nullptr};
  // Ended with the program, so that what Qt's font handling holds is given back before the leak
  // check runs.
  static const std::unique_ptr<QApplication> application = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QApplication>(argc, argv);
  }();
  return *application;
}

bool ProcessEventsUntil(const std::function<bool()>& condition) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > 60000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return true;
}

FakeClock::FakeClock(uint64_t now) {
  fakeNow = now;
  SetTickSource(&FakeTicks);
}
FakeClock::~FakeClock() { SetTickSource(nullptr); }
void FakeClock::Set(uint64_t now) { fakeNow = now; }
void FakeClock::Advance(uint64_t milliseconds) { fakeNow += milliseconds; }

TColor32 PageColour(int32_t index) {
  return Color32(static_cast<uint8_t>(40 + index * 20), 0x80, static_cast<uint8_t>(200 - index));
}

void TPagesLog::OpenGate() {
  {
    std::lock_guard lock(Mutex);
    GateOpen = true;
  }
  Gate.notify_all();
}

std::vector<TRenderCall> TPagesLog::Snapshot() {
  std::lock_guard lock(Mutex);
  return Calls;
}

bool TPagesLog::WaitForStarted(size_t count) {
  std::unique_lock lock(Mutex);
  return Gate.wait_for(lock, std::chrono::seconds(60), [&] { return Calls.size() >= count; });
}

void TFakePages::GiveBack(TBitmap32 page) {
  std::lock_guard lock(log_->Mutex);
  log_->GivenBack.emplace_back(page.Width(), page.Height());
  log_->GivingThreads.push_back(std::this_thread::get_id());
}

TBitmap32 TFakePages::RenderPage(int32_t pageIndex, int width, int height, double dpi) {
  TRenderCall call;
  call.PageIndex = pageIndex;
  call.Width = width;
  call.Height = height;
  call.Dpi = dpi;
  call.Policy = sched_getscheduler(0);
  errno = 0;
  call.Nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
  call.Thread = std::this_thread::get_id();
  lastPage_ = pageIndex;
  bool fail = false;
  std::string message;
  {
    std::unique_lock lock(log_->Mutex);
    log_->Calls.push_back(call);
    log_->MostRunning = std::max(log_->MostRunning, ++log_->Running);
    log_->Gate.notify_all();
    log_->Gate.wait(lock, [&] { return log_->GateOpen; });
    --log_->Running;
    fail = std::find(log_->Failing.begin(), log_->Failing.end(), pageIndex) != log_->Failing.end();
    message = log_->FailureMessage;
  }
  if (fail) throw ENimbraError(message);
  TBitmap32 page(width, height);
  page.Clear(PageColour(pageIndex));
  return page;
}

std::vector<std::string> TFakePages::TakeWarnings() {
  std::lock_guard lock(log_->Mutex);
  const auto found = log_->Warnings.find(lastPage_);
  return found == log_->Warnings.end() ? std::vector<std::string>() : found->second;
}

void TRecordingBackend::Apply(const TWallpaperPicture& picture) {
  std::lock_guard lock(shown_->Mutex);
  shown_->Pages.push_back(*picture.Page);
  shown_->Files.push_back(picture.BitmapFile);
  shown_->Screens.push_back(picture.Screens);
}

}  // namespace nimbra::test
