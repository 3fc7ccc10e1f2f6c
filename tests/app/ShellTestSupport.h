// What the shell's tests share: a Qt application on the offscreen platform, a clock the tests
// drive by hand, pages that record how they were rendered, and a wallpaper backend that keeps
// the pictures it was given.
#pragma once

#include <QApplication>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "OneFileAccess.h"
#include "album/PageRenderer.h"
#include "platform/WallpaperBackend.h"
#include "storage/FileAccess.h"

namespace nimbra::test {

// The process's QApplication (offscreen), made on first use.
QApplication& Application();
// Processes events until the condition holds or a minute has passed; true when it holds.
bool ProcessEventsUntil(const std::function<bool()>& condition);

// The framework clock, set by hand while a FakeClock exists.
class FakeClock {
 public:
  explicit FakeClock(uint64_t now);
  ~FakeClock();
  void Set(uint64_t now);
  void Advance(uint64_t milliseconds);
};

// The colour every pixel of a page gets.
TColor32 PageColour(int32_t index);

// What the render thread saw while it rendered one page.
struct TRenderCall {
  int32_t PageIndex = -1;
  int Width = 0;
  int Height = 0;
  double Dpi = 0;
  int Policy = -1;
  int Nice = 0;
  std::thread::id Thread;
};

// The record of the pages' work, shared with the test: the changer owns the pages.
struct TPagesLog {
  std::mutex Mutex;
  std::vector<TRenderCall> Calls;
  int Running = 0;
  int MostRunning = 0;
  // While closed, RenderPage waits at the gate.
  bool GateOpen = true;
  std::condition_variable Gate;
  // Pages that raise instead of rendering, with this message.
  std::vector<int32_t> Failing;
  std::string FailureMessage = "Seite kaputt";
  // What a page is drawn without, by page.
  std::map<int32_t, std::vector<std::string>> Warnings;
  // The sizes of the pages given back for reuse, and the threads that gave them.
  std::vector<std::pair<int, int>> GivenBack;
  std::vector<std::thread::id> GivingThreads;

  void OpenGate();
  std::vector<TRenderCall> Snapshot();
  // Waits (without events) until the number of started renders reaches count.
  bool WaitForStarted(size_t count);
};

class TFakePages : public IPageRenderer {
 public:
  TFakePages(int32_t count, std::shared_ptr<TPagesLog> log) : count_(count), log_(std::move(log)) {}
  int32_t PageCount() const override { return count_; }
  TBitmap32 RenderPage(int32_t pageIndex, int width, int height, double dpi) override;
  std::vector<std::string> TakeWarnings() override;
  void GiveBack(TBitmap32 page) override;

 private:
  int32_t count_;
  int32_t lastPage_ = -1;
  std::shared_ptr<TPagesLog> log_;
};

// The pictures a desktop was given.
struct TShownPictures {
  std::mutex Mutex;
  std::vector<TBitmap32> Pages;
  std::vector<std::string> Files;
  std::vector<std::vector<TWallpaperScreen>> Screens;
  size_t Count() {
    std::lock_guard lock(Mutex);
    return Pages.size();
  }
};

class TRecordingBackend : public TWallpaperBackend {
 public:
  explicit TRecordingBackend(std::shared_ptr<TShownPictures> shown, TWallpaperNeeds needs = {})
      : shown_(std::move(shown)), needs_(needs) {}
  std::string Name() const override { return "recording"; }
  TWallpaperNeeds Needs() const override { return needs_; }
  void Apply(const TWallpaperPicture& picture) override;

 private:
  std::shared_ptr<TShownPictures> shown_;
  TWallpaperNeeds needs_;
};

}  // namespace nimbra::test
