#include <gtest/gtest.h>

#include <QCoreApplication>
#include <sstream>

#include "PlatformTestSession.h"
#include "platform/XfceWallpaper.h"

namespace nimbra {
namespace {

using test::RunForOutput;

// Against the real xfconfd, started by the private session bus on demand; prepared and read back
// with xfconf-query, Xfce's own tool.
class XfceWallpaperTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "nimbra_platform_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
  }

  void SetUp() override {
    ASSERT_EQ(test::MissingTool("xfconf-query", "xfconf"), "");
    ASSERT_EQ(test::EnsurePrivateSessionBus(), "") << "the private session bus did not start";
    for (const char* channel : {"xfce4-desktop", "xfwm4"}) {
      // Empties the channel; fails harmlessly when it is empty already.
      RunForOutput({"xfconf-query", "-c", channel, "-p", "/", "-r", "-R"});
    }
    picture_.BitmapFile =
        "/home/anna/.local/share/Velmora/Nimbra/Velmora Nimbra Hintergrundbild.bmp";
  }

  static void Create(const std::string& channel, const std::string& property, const char* type,
                     const std::string& value) {
    bool ok = false;
    const std::string output = RunForOutput(
        {"xfconf-query", "-c", channel, "-p", property, "-n", "-t", type, "-s", value}, &ok);
    ASSERT_TRUE(ok) << output;
  }

  static std::string Get(const std::string& property) {
    bool ok = false;
    const std::string value =
        RunForOutput({"xfconf-query", "-c", "xfce4-desktop", "-p", property}, &ok);
    return ok ? value : "(missing: " + value + ")";
  }

  static std::vector<std::string> Properties() {
    std::istringstream lines(RunForOutput({"xfconf-query", "-c", "xfce4-desktop", "-l"}));
    std::vector<std::string> names;
    for (std::string line; std::getline(lines, line);) {
      if (!line.empty()) names.push_back(line);
    }
    return names;
  }

  TWallpaperPicture picture_;
};

TEST_F(XfceWallpaperTest, EveryPictureIsSetAndEveryCyclerSwitchedOff) {
  const std::string hdmi = "/backdrop/screen0/monitorHDMI-1/";
  const std::string edp = "/backdrop/screen0/monitoreDP-1/";
  Create("xfce4-desktop", hdmi + "workspace0/last-image", "string", "/usr/share/old.png");
  Create("xfce4-desktop", hdmi + "workspace1/last-image", "string", "/usr/share/old.png");
  Create("xfce4-desktop", edp + "workspace0/last-image", "string", "/usr/share/old.png");
  Create("xfce4-desktop", hdmi + "workspace0/backdrop-cycle-enable", "bool", "true");
  Create("xfce4-desktop", edp + "workspace0/backdrop-cycle-enable", "bool", "true");
  Create("xfce4-desktop", edp + "workspace0/image-style", "int", "5");
  const auto before = Properties();

  picture_.MonitorNames = {"DP-3"};  // only for a fresh configuration: not used here
  TXfceWallpaperBackend().Apply(picture_);

  EXPECT_EQ(Get(hdmi + "workspace0/last-image"), picture_.BitmapFile);
  EXPECT_EQ(Get(hdmi + "workspace1/last-image"), picture_.BitmapFile);
  EXPECT_EQ(Get(edp + "workspace0/last-image"), picture_.BitmapFile);
  EXPECT_EQ(Get(hdmi + "workspace0/backdrop-cycle-enable"), "false");
  EXPECT_EQ(Get(edp + "workspace0/backdrop-cycle-enable"), "false");
  EXPECT_EQ(Get(edp + "workspace0/image-style"), "5");
  EXPECT_EQ(Properties(), before);
}

TEST_F(XfceWallpaperTest, EachMonitorGetsItsScreensPictureAndOthersTheWhole) {
  const std::string hdmi = "/backdrop/screen0/monitorHDMI-1/workspace0/last-image";
  const std::string edp = "/backdrop/screen0/monitoreDP-1/workspace1/last-image";
  const std::string old = "/backdrop/screen0/monitor0/image-path";  // older releases' naming
  for (const std::string& property : {hdmi, edp, old}) {
    Create("xfce4-desktop", property, "string", "/usr/share/old.png");
  }
  picture_.Screens = {{"eDP-1", {0, 0, 1600, 900}, "/tmp/links.bmp", ""},
                      {"HDMI-1", {1600, 0, 2624, 768}, "/tmp/rechts.bmp", ""}};
  TXfceWallpaperBackend().Apply(picture_);
  EXPECT_EQ(Get(edp), "/tmp/links.bmp");
  EXPECT_EQ(Get(hdmi), "/tmp/rechts.bmp");
  EXPECT_EQ(Get(old), picture_.BitmapFile);
}

TEST_F(XfceWallpaperTest, AFreshConfigurationGetsPicturesForEachMonitorAndWorkspace) {
  Create("xfwm4", "/general/workspace_count", "int", "2");
  picture_.MonitorNames = {"Virtual-1", "HDMI-2"};
  TXfceWallpaperBackend().Apply(picture_);
  const std::vector<std::string> expected{
      "/backdrop/screen0/monitorHDMI-2/workspace0/last-image",
      "/backdrop/screen0/monitorHDMI-2/workspace1/last-image",
      "/backdrop/screen0/monitorVirtual-1/workspace0/last-image",
      "/backdrop/screen0/monitorVirtual-1/workspace1/last-image"};
  EXPECT_EQ(Properties(), expected);
  for (const std::string& property : expected) EXPECT_EQ(Get(property), picture_.BitmapFile);
}

TEST_F(XfceWallpaperTest, AFreshConfigurationWithoutMonitorNamesIsReported) {
  EXPECT_THROW(TXfceWallpaperBackend().Apply(picture_), EWallpaperError);
  EXPECT_TRUE(Properties().empty());
}

}  // namespace
}  // namespace nimbra
