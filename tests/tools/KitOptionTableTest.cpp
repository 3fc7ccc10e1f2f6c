// Each command's option table: the parser takes its defaults from it and its help is made from it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nimbra-kit/CommandLine.h"
#include "nimbra-kit/KitCommands.h"

namespace nimbra::kit {
namespace {

TEST(KitOptionTableTest, AnOptionNotGivenHasTheTablesDefault) {
  const TCommandLine none({}, kRenderCommand.Options);
  EXPECT_FALSE(none.Has("size"));
  EXPECT_EQ(none.Value("size"), "1024x768");
  EXPECT_EQ(none.Value("prefix"), "Bild");
  EXPECT_THROW(none.Value("output"), EUsageError);
  const TCommandLine given({"--size", "640x480", "--size=800x600"}, kRenderCommand.Options);
  EXPECT_TRUE(given.Has("size"));
  EXPECT_EQ(given.Value("size"), "800x600");
}

TEST(KitOptionTableTest, TheHelpIsTheUsageAndALineForEveryOption) {
  const std::string help = CommandHelp(kRenderCommand);
  EXPECT_EQ(help.rfind(kRenderCommand.Usage, 0), 0u);
  for (const char* line :
       {"\n  -p, --slideshow FILE   the slideshow document\n",
        "\n      --size WxH         the picture size in pixels (default 1024x768)\n",
        "\n      --album EXE        read both from the package of an album "
        "executable (or a\n                         package file), as the album "
        "does\n",
        "\n  -h, --help             show this help\n"}) {
    EXPECT_NE(help.find(line), std::string::npos) << line;
  }
  for (const TKitCommand& command : KitCommands()) {
    for (const TOptionDefinition& option : command.Options) {
      EXPECT_NE(CommandHelp(command).find("--" + option.LongName + " " + option.ValueName),
                std::string::npos)
          << command.Name << " --" << option.LongName;
    }
  }
}

}  // namespace
}  // namespace nimbra::kit
