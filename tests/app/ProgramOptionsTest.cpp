#include "app/ProgramOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nimbra {
namespace {

TProgramOptions Parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "nimbra");
  return ParseProgramOptions(static_cast<int>(arguments.size()), arguments.data());
}

TEST(ProgramOptionsTest, LongOptionsAreReadByTheTableAndSwitchesPassThrough) {
  const TProgramOptions defaults = Parse({"-pshow.kvt", "-i"});
  EXPECT_EQ(defaults.Wallpaper, "auto");
  EXPECT_FALSE(defaults.Once || defaults.NoTray || defaults.WorkArea);

  const TProgramOptions given =
      Parse({"--once=yes", "--no-tray", "--wallpaper=none", "--work-area=640x480",
             "--wallpaper-command=feh %f"});
  EXPECT_TRUE(given.Once && given.NoTray);
  EXPECT_EQ(given.Wallpaper, "none");
  EXPECT_EQ(given.WallpaperCommand, "feh %f");
  ASSERT_TRUE(given.WorkArea);
  EXPECT_EQ(given.WorkArea->WorkArea.Width(), 640);

  EXPECT_TRUE(Parse({"-h"}).Help);
  EXPECT_TRUE(Parse({"--help"}).Help);
  EXPECT_FALSE(Parse({"-pshow.kvt"}).Help);

  for (const char* wrong : {"--wallpaper=", "--wallpaper", "--work-area=big", "--tray", "--",
                            "--wallpaper=plasma"}) {
    EXPECT_THROW(Parse({wrong}), EProgramUsageError) << wrong;
  }
}

// A command for a running album, with the album after "=", as the next argument, or none.
TEST(ProgramOptionsTest, CommandsForARunningAlbumTakeTheAlbumEitherWay) {
  const struct {
    std::vector<const char*> Arguments;
    std::string Control, Album;
  } cases[] = {
      {{"--next"}, "Next", ""},
      {{"--previous=Urlaub"}, "Previous", "Urlaub"},
      {{"--pause", "/home/a/urlaub"}, "Pause", "/home/a/urlaub"},
      {{"--resume", "--no-tray"}, "Resume", ""},
      {{"--quit="}, "Quit", ""},
      {{"--once"}, "", ""},
  };
  for (const auto& c : cases) {
    const TProgramOptions options = Parse(c.Arguments);
    EXPECT_EQ(options.Control, c.Control) << c.Arguments.front();
    EXPECT_EQ(options.ControlAlbum, c.Album) << c.Arguments.front();
  }
  EXPECT_THROW(Parse({"--next", "--quit"}), EProgramUsageError);
}

TEST(ProgramOptionsTest, TheHelpHasALineForEveryOption) {
  const std::string usage = ProgramUsage();
  EXPECT_EQ(usage.rfind("Usage: nimbra [-pSLIDESHOW.kvt", 0), 0u);
  for (const char* line :
       {"\n  -pFILE                 the slideshow document (no blank after the switch)\n",
        "\n      --wallpaper-command=CMD\n"
        "                         the command of --wallpaper=command; %f stands for the file\n",
        " sway, x11, command, none (the picture file only) (default auto)\n",
        "\n      --next[=ALBUM]     show the next page of the running album; ALBUM (its name or\n",
        "\n      --version          show the version\n"}) {
    EXPECT_NE(usage.find(line), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace nimbra
