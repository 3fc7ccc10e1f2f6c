#include <gtest/gtest.h>

#include "TempFolder.h"
#include "platform/CommandLine.h"
#include "platform/CommandWallpaper.h"

namespace nimbra {
namespace {

using test::TempFolder;

// Every character the shell would otherwise act on.
const std::string kAwkwardName = "/tmp/a b/it's \"$HOME\" `x` \\ *.bmp";

TEST(CommandLineTest, FileIsQuotedForTheShellAndPercentsFollowTheFieldCodeRules) {
  EXPECT_EQ(SubstituteFile("feh --bg-fill %f", "/p/it's.bmp"), "feh --bg-fill '/p/it'\\''s.bmp'");
  EXPECT_EQ(SubstituteFile("echo 100%% %f%%", "/x"), "echo 100% '/x'%");
  EXPECT_EQ(SubstituteFile("setbg", "/x y"), "setbg '/x y'");
  EXPECT_EQ(SubstituteFile("tool %d %", "/x"), "tool %d % '/x'");
}

TEST(CommandLineTest, PlainWordsRunWithoutShellAndKeepTheFileIntact) {
  const TCommandPlan plan =
      PlanCommand("feh  --bg-fill \"two words\" 'single' back\\ slash %f", kAwkwardName);
  EXPECT_FALSE(plan.ThroughShell);
  const std::vector<std::string> expected{"feh",    "--bg-fill",  "two words",
                                          "single", "back slash", kAwkwardName};
  EXPECT_EQ(plan.Argv, expected);
}

TEST(CommandLineTest, ShellSyntaxGoesThroughTheShell) {
  for (const char* command : {"set %f | tee log", "set %f > log", "a %f; b", "set $X %f",
                              "set \"$X\" %f", "~/bin/set %f", "set *.bmp %f", "a && b %f"}) {
    const TCommandPlan plan = PlanCommand(command, "/x.bmp");
    EXPECT_TRUE(plan.ThroughShell) << command;
    ASSERT_EQ(plan.Argv.size(), 3U) << command;
    EXPECT_EQ(plan.Argv[0], "/bin/sh");
    EXPECT_EQ(plan.Argv[2], SubstituteFile(command, "/x.bmp"));
  }
}

TEST(CommandWallpaperTest, RunsTheProgramDirectlyWithTheFile) {
  TempFolder folder;
  const std::string source = folder.Write("it's a \"page\" $1.bmp", "pixels");
  const std::string copy = folder.File("copy of page.bmp");
  TCommandWallpaperBackend backend("cp %f " + ShellQuote(copy));
  TWallpaperPicture picture;
  picture.BitmapFile = source;
  backend.Apply(picture);
  EXPECT_EQ(TempFolder::Read(copy), "pixels");
}

TEST(CommandWallpaperTest, RunsShellCommandsWithTheFileQuoted) {
  TempFolder folder;
  const std::string source = folder.Write("it's `odd` $HOME \\.bmp", "x");
  const std::string log = folder.File("log.txt");
  TCommandWallpaperBackend backend("printf '%%s|' %f > " + ShellQuote(log));
  TWallpaperPicture picture;
  picture.BitmapFile = source;
  backend.Apply(picture);
  EXPECT_EQ(TempFolder::Read(log), source + "|");
}

TEST(CommandWallpaperTest, FailuresSayWhatHappened) {
  TWallpaperPicture picture;
  picture.BitmapFile = "/nonexistent/page.bmp";
  try {
    TCommandWallpaperBackend("sh -c 'echo refused >&2; exit 3'").Apply(picture);
    ADD_FAILURE() << "a failing command was taken for success";
  } catch (const EWallpaperError& error) {
    EXPECT_NE(std::string(error.what()).find("endete mit dem Status 3: refused"), std::string::npos)
        << error.what();
  }
  try {
    TCommandWallpaperBackend("nimbra-no-such-program %f").Apply(picture);
    ADD_FAILURE() << "a missing program was taken for success";
  } catch (const EWallpaperError& error) {
    EXPECT_NE(std::string(error.what()).find("ließ sich nicht starten"), std::string::npos)
        << error.what();
  }
  try {
    TCommandWallpaperBackend("sh -c 'exec sleep 10'", std::chrono::milliseconds(200))
        .Apply(picture);
    ADD_FAILURE() << "a hanging command was waited for";
  } catch (const EWallpaperError& error) {
    EXPECT_NE(std::string(error.what()).find("nicht rechtzeitig fertig"), std::string::npos)
        << error.what();
  }
  EXPECT_THROW(TCommandWallpaperBackend("  "), EWallpaperError);
}

}  // namespace
}  // namespace nimbra
