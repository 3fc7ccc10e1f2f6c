#include "app/DesktopChanger.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <thread>

#include "album/NimbraApplicationInfo.h"
#include "app/AlbumWallpaper.h"

#include "ShellTestSupport.h"
#include "platform/WallpaperSetter.h"
#include "TempFolder.h"

namespace nimbra {
namespace {

using test::FakeClock;
using test::PageColour;
using test::TFakePages;
using test::TPagesLog;
using test::TRecordingBackend;
using test::TShownPictures;

constexpr uint64_t kMinute = 60000;

class DesktopChangerTest : public ::testing::Test {
 protected:
  void SetUp() override { test::Application(); }

  // A changer over count pages on a 64 × 48 screen, showing through the recording backend.
  std::unique_ptr<TNimbraDesktopChanger> MakeChanger(int32_t count) {
    auto changer = std::make_unique<TNimbraDesktopChanger>();
    changer->SetPageList(std::make_unique<TFakePages>(count, log_));
    changer->SetWallpaperSetter(std::make_unique<TWallpaperSetter>(
        std::make_unique<TRecordingBackend>(shown_), folder_.Path().string(), "Hintergrund"));
    changer->SetScreenGeometryFunction([this] { return screen_; });
    changer->OnChangeStart = [this] { ++starts_; };
    changer->OnChangeDone = [this] {
      ++dones_;
      doneThreads_.push_back(std::this_thread::get_id());
    };
    changer->OnRenderError = [this](const std::string& message) { errors_.push_back(message); };
    return changer;
  }

  std::vector<int32_t> RenderedPages() {
    std::vector<int32_t> pages;
    for (const test::TRenderCall& call : log_->Snapshot()) pages.push_back(call.PageIndex);
    return pages;
  }

  test::TempFolder folder_;
  std::shared_ptr<TPagesLog> log_ = std::make_shared<TPagesLog>();
  std::shared_ptr<TShownPictures> shown_ = std::make_shared<TShownPictures>();
  std::optional<TScreenGeometry> screen_ = FixedScreenGeometry(64, 48);
  int starts_ = 0;
  int dones_ = 0;
  std::vector<std::thread::id> doneThreads_;
  std::vector<std::string> errors_;
};

struct TMoveCase {
  int32_t Start;
  int32_t Count;
  int32_t Delta;
  int32_t Expected;
};

TEST_F(DesktopChangerTest, MovingWrapsRoundThePageCount) {
  const TMoveCase cases[] = {
      {-1, 5, +1, 0},  // before the first change, forward starts at the first page
      {0, 5, -1, 4},   // back from the first page is the last
      {7, 5, +1, 3},   // a remembered page beyond a shorter album wraps into range
      {4, 5, +1, 0},  {3, 5, 0, 3},  {2, 5, -13, 4}, {1, 1, +1, 0},
      // Nothing shown yet: showing "the current page" shows the first, going back the last.
      {-1, 5, 0, 0},  {-1, 5, -1, 4},
  };
  for (const TMoveCase& move : cases) {
    SCOPED_TRACE(std::to_string(move.Start) + " + " + std::to_string(move.Delta));
    log_->Calls.clear();
    auto changer = MakeChanger(move.Count);
    changer->SetPageIndex(move.Start);
    changer->MoveBy(move.Delta);
    changer->WaitForChange();
    EXPECT_EQ(changer->PageIndex(), move.Expected);
    EXPECT_EQ(RenderedPages(), std::vector<int32_t>{move.Expected});
  }
}

TEST_F(DesktopChangerTest, SeveralScreensShowTheirOwnPagesSideBySideAtTheirOwnSizes) {
  // A large screen with a panel at its top and a smaller one to its right.
  TScreenGeometry left = FixedScreenGeometry(64, 48);
  left.WorkArea.Top = 8;
  left.Name = "DP-1";
  TScreenGeometry right = FixedScreenGeometry(32, 24, 192.0);
  right.Screen = right.WorkArea = {64, 0, 96, 24};
  right.Name = "DP-2";
  const struct {
    TScreenPages Pages;
    std::vector<std::vector<int32_t>> Rendered;  // per change, left then right
  } cases[] = {{TScreenPages::ConsecutivePages, {{0, 1}, {2, 3}, {4, 0}, {2, 3}}},
               {TScreenPages::SamePage, {{0, 0}, {1, 1}, {2, 2}, {1, 1}}}};
  for (const auto& [mode, rendered] : cases) {
    SCOPED_TRACE(static_cast<int>(mode));
    log_->Calls.clear();
    shown_->Pages.clear();
    shown_->Screens.clear();
    auto changer = MakeChanger(5);
    changer->SetScreenLayoutFunction([&] { return std::vector<TScreenGeometry>{left, right}; });
    changer->SetScreenPages(mode);
    for (const int32_t delta : {+1, +1, +1, -1}) {
      changer->MoveBy(delta);
      changer->WaitForChange();
    }
    const std::vector<test::TRenderCall> calls = log_->Snapshot();
    ASSERT_EQ(calls.size(), 8U);
    for (size_t change = 0; change < 4; ++change) {
      const test::TRenderCall& first = calls[2 * change];
      const test::TRenderCall& second = calls[2 * change + 1];
      EXPECT_EQ((std::vector<int32_t>{first.PageIndex, second.PageIndex}), rendered[change]);
      EXPECT_EQ((std::vector<int>{first.Width, first.Height, second.Width, second.Height}),
                (std::vector<int>{64, 40, 32, 24}));
      EXPECT_EQ(second.Dpi, 192.0);
      // One picture around both screens: each page on its screen, black where no screen is.
      const TBitmap32& desk = shown_->Pages[change];
      ASSERT_EQ(desk.Width(), 96);
      ASSERT_EQ(desk.Height(), 48);
      EXPECT_EQ(desk.Pixel(10, 4), kColor32Black);  // the panel
      EXPECT_EQ(desk.Pixel(10, 20), PageColour(rendered[change][0]));
      EXPECT_EQ(desk.Pixel(70, 10), PageColour(rendered[change][1]));
      EXPECT_EQ(desk.Pixel(70, 40), kColor32Black);  // below the smaller screen
      ASSERT_EQ(shown_->Screens[change].size(), 2U);
      EXPECT_EQ(shown_->Screens[change][1].Name, "DP-2");
      EXPECT_EQ(shown_->Screens[change][1].Area, (TRect{64, 0, 96, 24}));
    }
    EXPECT_EQ(changer->ShownPageIndex(), rendered.back()[0]);
  }
}

TEST_F(DesktopChangerTest, AnEmptyAlbumOnlyRestartsTheInterval) {
  FakeClock clock(5 * kMinute);
  auto changer = MakeChanger(0);
  changer->SetPageIndex(2);
  changer->MoveBy(+1);
  EXPECT_EQ(changer->LastChange(), 5 * kMinute);
  EXPECT_EQ(changer->NextChange(), 5 * kMinute + 300000);
  EXPECT_EQ(changer->PageIndex(), 2);
  EXPECT_EQ(changer->Thread(), nullptr);
  EXPECT_EQ(starts_, 0);
}

TEST_F(DesktopChangerTest, ShorterIntervalMeasuredFromTheLastChangeIsDueAtTheNextCheck) {
  FakeClock clock(100 * kMinute);
  auto changer = MakeChanger(5);
  changer->MoveBy(+1);
  changer->WaitForChange();
  clock.Advance(kMinute);
  changer->SetInterval(60000);
  EXPECT_EQ(changer->NextChange(), 101 * kMinute);
  changer->CheckInterval();  // exactly at the due time: not yet past it
  changer->WaitForChange();
  EXPECT_EQ(RenderedPages(), std::vector<int32_t>{0});
  clock.Advance(2000);  // the next timer tick
  changer->CheckInterval();
  changer->WaitForChange();
  EXPECT_EQ(RenderedPages(), (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(changer->NextChange(), 101 * kMinute + 2000 + 60000);
}

TEST_F(DesktopChangerTest, FirstTimedChangeComesWhenTheSystemHasRunLongerThanTheInterval) {
  {
    FakeClock clock(10 * kMinute);  // up for ten minutes, thirty-minute interval
    auto changer = MakeChanger(3);
    changer->SetInterval(30 * 60000);
    changer->CheckInterval();
    clock.Set(30 * kMinute);
    changer->CheckInterval();
    EXPECT_EQ(changer->Thread(), nullptr);
    clock.Set(30 * kMinute + 2000);
    changer->CheckInterval();
    changer->WaitForChange();
    EXPECT_EQ(RenderedPages(), std::vector<int32_t>{0});
  }
  log_->Calls.clear();
  FakeClock clock(120 * kMinute);  // up for two hours: the first check changes
  auto changer = MakeChanger(3);
  changer->SetInterval(30 * 60000);
  changer->CheckInterval();
  changer->WaitForChange();
  EXPECT_EQ(RenderedPages(), std::vector<int32_t>{0});
}

TEST_F(DesktopChangerTest, TheClockDoesNotWrapAfterFortyNineDays) {
  // One second before a 32-bit millisecond count would wrap: the next change must still be five
  // minutes away, not overdue at every tick.
  const uint64_t start = (uint64_t{1} << 32) - 1000;
  FakeClock clock(start);
  auto changer = MakeChanger(5);
  changer->MoveBy(+1);
  changer->WaitForChange();
  EXPECT_EQ(changer->NextChange(), start + 300000);
  for (int tick = 0; tick < 10; ++tick) {
    clock.Advance(2000);
    changer->CheckInterval();
  }
  changer->WaitForChange();
  EXPECT_EQ(RenderedPages(), std::vector<int32_t>{0});
  clock.Set(start + 300001);
  changer->CheckInterval();
  changer->WaitForChange();
  EXPECT_EQ(RenderedPages(), (std::vector<int32_t>{0, 1}));
}

// Once the desktop has the page, the render thread gives it back for the next page to be drawn
// into; a page placed on a bigger black screen is not of the size the next page is drawn at.
TEST_F(DesktopChangerTest, AShownPageIsGivenBackOnlyWhenItHasTheWorkAreaSize) {
  auto changer = MakeChanger(2);
  changer->MoveBy(+1);
  changer->WaitForChange();
  TScreenGeometry withPanel;
  withPanel.Screen = {0, 0, 64, 48};
  withPanel.WorkArea = {0, 0, 64, 40};
  screen_ = withPanel;
  changer->MoveBy(+1);
  changer->WaitForChange();
  ASSERT_EQ(shown_->Count(), 2u);
  std::lock_guard lock(log_->Mutex);
  EXPECT_EQ(log_->GivenBack, (std::vector<std::pair<int, int>>{{64, 48}}));
  ASSERT_EQ(log_->GivingThreads.size(), 1u);
  EXPECT_EQ(log_->GivingThreads[0], log_->Calls[0].Thread);
}

TEST_F(DesktopChangerTest, PageIsRenderedAtIdlePriorityAtTheWorkAreaSize) {
  TScreenGeometry screen;
  screen.Screen = {0, 0, 1024, 768};
  screen.WorkArea = {0, 0, 1024, 738};
  screen.Dpi = 120;
  screen_ = screen;
  auto changer = MakeChanger(2);
  changer->MoveBy(+1);
  changer->WaitForChange();
  const std::vector<test::TRenderCall> calls = log_->Snapshot();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Width, 1024);
  EXPECT_EQ(calls[0].Height, 738);
  EXPECT_EQ(calls[0].Dpi, 120);
  EXPECT_NE(calls[0].Thread, std::this_thread::get_id());
  EXPECT_EQ(calls[0].Policy, SCHED_IDLE);
  EXPECT_EQ(calls[0].Nice, 19);
  // 1024 × 768 on the desktop, the 30 rows under the work area black.
  ASSERT_EQ(shown_->Count(), 1u);
  const TBitmap32& shown = shown_->Pages[0];
  ASSERT_EQ(shown.Width(), 1024);
  ASSERT_EQ(shown.Height(), 768);
  for (const int y : {0, 400, 737}) EXPECT_EQ(shown.Pixel(500, y), PageColour(0)) << y;
  for (const int y : {738, 750, 767}) {
    for (const int x : {0, 511, 1023}) EXPECT_EQ(shown.Pixel(x, y), kColor32Black) << x << "," << y;
  }
  // WaitForChange frees the finished thread; the setter remembers what it showed.
  EXPECT_EQ(changer->Thread(), nullptr);
  EXPECT_EQ(changer->WallpaperSetter()->CurrentFile(), shown_->Files[0]);
}

TEST_F(DesktopChangerTest, PageIsPlacedWhereTheWorkAreaLiesOnItsScreen) {
  TBitmap32 page(4, 3);
  page.Clear(Color32(1, 2, 3));
  TScreenGeometry screen;
  // A second screen right of the first, with a 2-pixel panel on its left and one row at the top.
  screen.Screen = {1920, 0, 1926, 4};
  screen.WorkArea = {1922, 1, 1926, 4};
  const TBitmap32 composed = ComposeOnScreen(page, screen);
  ASSERT_EQ(composed.Width(), 6);
  ASSERT_EQ(composed.Height(), 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool covered = x >= 2 && y >= 1;
      EXPECT_EQ(composed.Pixel(x, y), covered ? Color32(1, 2, 3) : kColor32Black) << x << "," << y;
    }
  }
  // Panels on every side: black right of and below the page too.
  screen.Screen = {0, 0, 6, 5};
  screen.WorkArea = {1, 1, 5, 4};
  const TBitmap32 framed = ComposeOnScreen(page, screen);
  ASSERT_EQ(framed.Height(), 5);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool covered = x >= 1 && x < 5 && y >= 1 && y < 4;
      EXPECT_EQ(framed.Pixel(x, y), covered ? Color32(1, 2, 3) : kColor32Black) << x << "," << y;
    }
  }
  // A page that already fills the screen is shown as it is.
  screen.Screen = {1920, 0, 1926, 4};
  TBitmap32 full(6, 4);
  full.Clear(0x80102030);
  EXPECT_EQ(ComposeOnScreen(full, screen), full);
}

TEST_F(DesktopChangerTest, RenderFailureIsReportedOnceAndLeavesTheWallpaper) {
  auto changer = MakeChanger(3);
  changer->MoveBy(+1);
  changer->WaitForChange();
  ASSERT_EQ(shown_->Count(), 1u);
  const std::string shownFile = changer->WallpaperSetter()->CurrentFile();
  const std::string shownBytes = test::TempFolder::Read(shownFile);

  // Every page fails for the same reason: heard once, not at every change.
  log_->Failing = {0, 1, 2};
  log_->FailureMessage = "Das Bild \"|a.jpg\" fehlt.";
  for (int change = 0; change < 3; ++change) {
    changer->MoveBy(+1);
    ASSERT_TRUE(test::ProcessEventsUntil([&] { return !changer->Changing(); }));
    changer->WaitForChange();
  }
  for (int round = 0; round < 5; ++round) QCoreApplication::processEvents();
  EXPECT_EQ(errors_, std::vector<std::string>{"Das Bild \"|a.jpg\" fehlt."});
  EXPECT_EQ(shown_->Count(), 1u);
  EXPECT_EQ(changer->WallpaperSetter()->CurrentFile(), shownFile);
  EXPECT_EQ(test::TempFolder::Read(shownFile), shownBytes);
  // The changes still end normally; the page asked for moved on, the one on show did not.
  EXPECT_EQ(starts_, 4);
  EXPECT_EQ(dones_, 4);
  EXPECT_EQ(changer->PageIndex(), 0);
  EXPECT_EQ(changer->ShownPageIndex(), 0);
  // A change that succeeds in between makes the same fault worth hearing again.
  log_->Failing = {2};
  changer->MoveBy(+1);
  changer->WaitForChange();
  EXPECT_EQ(changer->ShownPageIndex(), 1);
  changer->MoveBy(+1);
  changer->WaitForChange();
  EXPECT_EQ(errors_.size(), 2u);
}

TEST_F(DesktopChangerTest, WhatAShownPageLacksIsHeardOnceForTheWholeRun) {
  auto changer = MakeChanger(3);
  std::vector<std::string> warnings;
  changer->OnRenderWarning = [&](const std::string& text) { warnings.push_back(text); };
  log_->Warnings = {{0, {"A fehlt", "B fehlt"}}, {1, {"B fehlt", "C fehlt"}}};
  for (int change = 0; change < 4; ++change) {
    changer->MoveBy(+1);
    changer->WaitForChange();
    // Such a page is still a change that reached the desktop.
    EXPECT_EQ(changer->ShownPageIndex(), change % 3);
  }
  EXPECT_EQ(warnings, (std::vector<std::string>{"A fehlt\nB fehlt", "C fehlt"}));
  EXPECT_TRUE(errors_.empty());
}

TEST_F(DesktopChangerTest, QuickSecondRequestStartsOnlyAfterTheFirstHasFinished) {
  auto changer = MakeChanger(5);
  log_->GateOpen = false;
  changer->MoveBy(+1);
  ASSERT_TRUE(log_->WaitForStarted(1));
  changer->MoveBy(+1);  // "Nächstes Bild" again while page 0 still renders
  EXPECT_EQ(changer->PageIndex(), 1);
  EXPECT_TRUE(changer->Changing());
  EXPECT_EQ(RenderedPages(), std::vector<int32_t>{0});
  EXPECT_EQ(starts_, 1);
  log_->OpenGate();
  // The event loop finishes the first change and starts the second.
  ASSERT_TRUE(test::ProcessEventsUntil([&] { return !changer->Changing(); }));
  EXPECT_EQ(RenderedPages(), (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(log_->MostRunning, 1);
  EXPECT_EQ(starts_, 2);
  EXPECT_EQ(dones_, 2);
  EXPECT_EQ(shown_->Count(), 2u);
  for (const std::thread::id id : doneThreads_) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST_F(DesktopChangerTest, RequestsWhileRenderingCollapseIntoTheLatest) {
  auto changer = MakeChanger(5);
  log_->GateOpen = false;
  changer->MoveBy(+1);
  ASSERT_TRUE(log_->WaitForStarted(1));
  changer->MoveBy(+1);
  changer->MoveBy(+1);
  changer->MoveBy(+1);
  log_->OpenGate();
  changer->WaitForChange();
  EXPECT_EQ(RenderedPages(), (std::vector<int32_t>{0, 3}));
  EXPECT_EQ(changer->PageIndex(), 3);
  EXPECT_FALSE(changer->Changing());
  EXPECT_EQ(dones_, 2);
}

TEST_F(DesktopChangerTest, DestroyingTheChangerWaitsForItsChange) {
  auto changer = MakeChanger(5);
  log_->GateOpen = false;
  changer->MoveBy(+1);
  ASSERT_TRUE(log_->WaitForStarted(1));
  std::thread opener([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    log_->OpenGate();
  });
  changer.reset();
  opener.join();
  EXPECT_EQ(shown_->Count(), 1u);
  EXPECT_EQ(dones_, 1);
}

TEST_F(DesktopChangerTest, NewScreenSizeRendersTheCurrentPageAgain) {
  auto changer = MakeChanger(5);
  changer->ScreenChanged();  // nothing shown yet: nothing to redo
  EXPECT_EQ(changer->Thread(), nullptr);
  changer->SetPageIndex(1);
  changer->MoveBy(+1);
  changer->WaitForChange();
  changer->ScreenChanged();  // same size
  changer->WaitForChange();
  EXPECT_EQ(RenderedPages(), std::vector<int32_t>{2});
  screen_ = FixedScreenGeometry(80, 40);
  changer->ScreenChanged();
  changer->WaitForChange();
  const std::vector<test::TRenderCall> calls = log_->Snapshot();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].PageIndex, 2);
  EXPECT_EQ(calls[1].Width, 80);
  EXPECT_EQ(calls[1].Height, 40);
  EXPECT_EQ(changer->PageIndex(), 2);
}

TEST_F(DesktopChangerTest, UnknownScreenSizeIsReportedInsteadOfRendering) {
  screen_.reset();
  auto changer = MakeChanger(5);
  changer->MoveBy(+1);
  changer->WaitForChange();
  EXPECT_TRUE(log_->Snapshot().empty());
  EXPECT_EQ(errors_.size(), 1u);
}

uint32_t LittleEndian32(const std::string& bytes, size_t offset) {
  uint32_t value = 0;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

TEST_F(DesktopChangerTest, WallpaperIsABitmapFileInTheUsersDataFolder) {
  ::setenv("XDG_DATA_HOME", folder_.Path().c_str(), 1);
  InstallApplicationInfo();
  TScreenGeometry screen = FixedScreenGeometry(64, 48);
  screen.WorkArea.Bottom = 40;
  screen_ = screen;
  auto changer = MakeChanger(2);
  changer->SetWallpaperSetter(CreateAlbumWallpaperSetter("none"));
  changer->MoveBy(+1);
  changer->WaitForChange();
  ClearApplicationInfo();
  const std::filesystem::path file =
      folder_.Path() / "Velmora" / "Nimbra" / "Velmora Nimbra Hintergrundbild.bmp";
  EXPECT_EQ(changer->WallpaperSetter()->CurrentFile(), file.string());
  const std::string bytes = test::TempFolder::Read(file.string());
  ASSERT_EQ(bytes.size(), 54u + 64 * 48 * 3);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(LittleEndian32(bytes, 18), 64u);
  EXPECT_EQ(LittleEndian32(bytes, 22), 48u);
  const size_t pixels = LittleEndian32(bytes, 10);
  // Rows are stored bottom-up: the eight rows under the work area first, black.
  for (size_t i = 0; i < 8 * 64 * 3; ++i) ASSERT_EQ(bytes[pixels + i], 0) << i;
  const size_t top = pixels + 47 * 64 * 3;
  const TColor32 colour = PageColour(0);
  EXPECT_EQ(static_cast<uint8_t>(bytes[top]), BlueComponent(colour));
  EXPECT_EQ(static_cast<uint8_t>(bytes[top + 1]), GreenComponent(colour));
  EXPECT_EQ(static_cast<uint8_t>(bytes[top + 2]), RedComponent(colour));
}

}  // namespace
}  // namespace nimbra
