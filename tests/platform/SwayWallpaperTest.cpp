#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <QImage>
#include <QString>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <thread>

#include "PlatformTestSession.h"
#include "platform/ChildProcess.h"
#include "platform/SwayWallpaper.h"
#include "platform/WallpaperSetter.h"
#include "raster/Blend.h"

namespace nimbra {
namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 320;
constexpr int kHeight = 240;

// A headless sway of our own. sway refuses to run as root, so under root it runs as "nobody",
// and its folders are made readable for that user.
class SwayWallpaperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& [program, package] :
         {std::pair{"sway", "sway"}, {"swaymsg", "sway"}, {"swaybg", "swaybg"}, {"grim", "grim"}}) {
      ASSERT_EQ(test::MissingTool(program, package), "");
    }
    runtime_ = MakeFolder("sway-runtime", fs::perms::owner_all);
    pictures_ = MakeFolder("sway-pictures", fs::perms::owner_all | fs::perms::group_read |
                                                fs::perms::group_exec | fs::perms::others_read |
                                                fs::perms::others_exec);
    ASSERT_FALSE(runtime_.empty() || pictures_.empty());
    const fs::path config = pictures_ / "config";
    std::ofstream(config) << "output * resolution " << kWidth << "x" << kHeight
                          << "\nxwayland disable\n";
    std::vector<std::string> command{"env",
                                     "-i",
                                     "PATH=/usr/local/bin:/usr/bin:/bin",
                                     "XDG_RUNTIME_DIR=" + runtime_.string(),
                                     "WLR_BACKENDS=headless",
                                     "WLR_HEADLESS_OUTPUTS=" + std::to_string(outputs_),
                                     "WLR_RENDERER=pixman",
                                     "WLR_LIBINPUT_NO_DEVICES=1"};
    if (::geteuid() == 0) {
      const passwd* nobody = ::getpwnam("nobody");
      if (nobody == nullptr)
        GTEST_SKIP() << "sway will not run as root and there is no user nobody";
      ASSERT_EQ(test::MissingTool("setpriv", "util-linux"), "");
      const std::string uid = std::to_string(nobody->pw_uid);
      const std::string gid = std::to_string(nobody->pw_gid);
      ASSERT_EQ(::chown(runtime_.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
      command.insert(command.end(),
                     {"setpriv", "--reuid=" + uid, "--regid=" + gid, "--clear-groups"});
    }
    command.insert(command.end(), {"sway", "-c", config.string()});
    ASSERT_EQ(sway_.Start(command), "");
    const std::string why = WaitForSway();
    if (!why.empty()) GTEST_SKIP() << "sway cannot run headless here: " << why;
    ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    ::setenv("WAYLAND_DISPLAY", wayland_.c_str(), 1);
    ::setenv("SWAYSOCK", swaysock_.c_str(), 1);
  }

  void TearDown() override {
    sway_.Stop();
    for (const char* name : {"XDG_RUNTIME_DIR", "WAYLAND_DISPLAY", "SWAYSOCK"}) ::unsetenv(name);
    std::error_code ignored;
    fs::remove_all(runtime_, ignored);
    fs::remove_all(pictures_, ignored);
  }

  // Outside the test program's private scratch folder, which sway's user could not enter.
  static fs::path MakeFolder(const std::string& name, fs::perms permissions) {
    std::string pattern = (fs::temp_directory_path() / ("nimbra-" + name + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) return {};
    fs::permissions(pattern, permissions);
    return pattern;
  }

  // Waits for sway's two sockets; yields why it did not come up.
  std::string WaitForSway() {
    for (int attempt = 0; attempt < 100; ++attempt) {
      for (const auto& entry : fs::directory_iterator(runtime_)) {
        const std::string name = entry.path().filename();
        if (name.rfind("sway-ipc.", 0) == 0 && entry.is_socket()) swaysock_ = entry.path();
        if (name.rfind("wayland-", 0) == 0 && entry.is_socket()) wayland_ = name;
      }
      if (!swaysock_.empty() && !wayland_.empty()) return {};
      if (!ProcessRunning(sway_.Pid())) return "sway exited at start";
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "its sockets did not appear within 10 seconds";
  }

  // Takes screenshots until the four quadrants of each output show the page's colours; yields the
  // last one's colours at the quadrant centres for the failure message.
  std::vector<QRgb> WaitForPage(const TBitmap32& page) {
    std::vector<std::pair<int, int>> centres;
    for (int output = 0; output < outputs_; ++output) {
      for (const auto& [x, y] : {std::pair{kWidth / 4, kHeight / 4}, {3 * kWidth / 4, kHeight / 4},
                                 {kWidth / 4, 3 * kHeight / 4},
                                 {3 * kWidth / 4, 3 * kHeight / 4}}) {
        centres.emplace_back(output * kWidth + x, y);
      }
    }
    std::vector<QRgb> seen;
    const std::string shot = (pictures_ / "shot.png").string();
    for (int attempt = 0; attempt < 50; ++attempt) {
      seen.clear();
      bool ok = false;
      test::RunForOutput({"grim", shot}, &ok);
      const QImage image(QString::fromStdString(shot));
      bool same = ok && image.width() == outputs_ * kWidth && image.height() == kHeight;
      for (const auto& [x, y] : centres) {
        seen.push_back(image.isNull() ? 0 : image.pixel(x, y) & 0xFFFFFF);
        same = same && seen.back() == (page.Pixel(x, y) & 0xFFFFFF);
      }
      if (same) return {};
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return seen;
  }

  int outputs_ = 1;  // side by side, each kWidth × kHeight
  fs::path runtime_;
  fs::path pictures_;
  fs::path swaysock_;
  std::string wayland_;
  test::TTestChild sway_;
};

TEST(SwayCommandArgumentTest, PathsAreQuotedForSwayAndItsWordExpansion) {
  EXPECT_EQ(SwayCommandArgument("/home/anna/it's (2).png"), "\"'/home/anna/it'\\''s (2).png'\"");
  EXPECT_EQ(SwayCommandArgument("/a \"b\".png"), std::nullopt);
  EXPECT_EQ(SwayCommandArgument("/a  b.png"), std::nullopt);
  EXPECT_EQ(SwayCommandArgument("/a\nb.png"), std::nullopt);
}

TEST_F(SwayWallpaperTest, SwaymsgShowsThePageOnTheOutput) {
  // Everything sway's command parser or its word expansion would otherwise act on.
  const fs::path folder = pictures_ / "it's $HOME `id` \\ (1)";
  fs::create_directory(folder);
  fs::permissions(folder, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  TWallpaperSetter setter(std::make_unique<TSwayWallpaperBackend>(), folder,
                          "Velmora Nimbra Hintergrundbild");
  const TBitmap32 page = test::QuadrantPage(kWidth, kHeight, 0xC3);
  ASSERT_TRUE(setter.SetWallpaper(page)) << setter.LastError();
  EXPECT_EQ(WaitForPage(page), std::vector<QRgb>{});
  const TBitmap32 next = test::QuadrantPage(kWidth, kHeight, 0x3C);
  ASSERT_TRUE(setter.SetWallpaper(next)) << setter.LastError();
  EXPECT_EQ(WaitForPage(next), std::vector<QRgb>{});
}

TEST_F(SwayWallpaperTest, AKeptSwaybgShowsThePageAndTheOldOneEnds) {
  ::unsetenv("SWAYSOCK");  // as under a wlroots compositor other than sway
  auto backend = std::make_unique<TSwayWallpaperBackend>();
  TSwayWallpaperBackend& sway = *backend;
  TWallpaperSetter setter(std::move(backend), pictures_, "page");
  const TBitmap32 page = test::QuadrantPage(kWidth, kHeight, 0x96);
  ASSERT_TRUE(setter.SetWallpaper(page)) << setter.LastError();
  const pid_t first = sway.KeptBackgroundProcess();
  ASSERT_GT(first, 0);
  EXPECT_EQ(WaitForPage(page), std::vector<QRgb>{});

  const TBitmap32 next = test::QuadrantPage(kWidth, kHeight, 0x69);
  ASSERT_TRUE(setter.SetWallpaper(next)) << setter.LastError();
  const pid_t second = sway.KeptBackgroundProcess();
  EXPECT_NE(second, first);
  EXPECT_EQ(::kill(first, 0), -1) << "the first swaybg still runs";
  EXPECT_EQ(WaitForPage(next), std::vector<QRgb>{});
  StopProcess(second);
}

class SwayTwoOutputsTest : public SwayWallpaperTest {
 protected:
  void SetUp() override {
    outputs_ = 2;
    SwayWallpaperTest::SetUp();
  }
};

TEST_F(SwayTwoOutputsTest, EachOutputShowsItsOwnScreensPicture) {
  // One page across both outputs, each half its own quadrants.
  TBitmap32 page(2 * kWidth, kHeight);
  const TBitmap32 left = test::QuadrantPage(kWidth, kHeight, 0x5A);
  const TBitmap32 right = test::QuadrantPage(kWidth, kHeight, 0xA5);
  DrawBitmap(page, 0, 0, left, TDrawMode::Opaque);
  DrawBitmap(page, kWidth, 0, right, TDrawMode::Opaque);
  const std::vector<TWallpaperScreen> screens = {
      {"HEADLESS-1", {0, 0, kWidth, kHeight}, "", ""},
      {"HEADLESS-2", {kWidth, 0, 2 * kWidth, kHeight}, "", ""}};
  for (const bool withSwaymsg : {true, false}) {
    if (!withSwaymsg) ::unsetenv("SWAYSOCK");
    TWallpaperSetter setter(std::make_unique<TSwayWallpaperBackend>(), pictures_,
                            withSwaymsg ? "swaymsg" : "swaybg");
    ASSERT_TRUE(setter.SetWallpaper(page, screens)) << setter.LastError();
    EXPECT_EQ(WaitForPage(page), std::vector<QRgb>{}) << (withSwaymsg ? "swaymsg" : "swaybg");
  }
}

TEST(SwayWallpaperNoSessionTest, NoWaylandSessionIsAReason) {
  TSwayWallpaperBackend backend;
  TWallpaperPicture picture;
  picture.PngFile = "/tmp/page.png";
  for (const char* name : {"SWAYSOCK", "WAYLAND_DISPLAY"}) ::unsetenv(name);
  EXPECT_THROW(backend.Apply(picture), EWallpaperError);
}

}  // namespace
}  // namespace nimbra
