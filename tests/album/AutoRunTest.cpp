#include "album/AutoRun.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"
#include "platform/ChildProcess.h"

namespace nimbra {
namespace {

namespace fs = std::filesystem;

// The command lines an autostart entry must carry through unchanged: paths with spaces, quotes,
// dollar signs, back-quotes, backslashes, percent signs and non-ASCII letters.
const std::vector<std::vector<std::string>> kCommands = {
    {"/opt/nimbra/nimbra", "-p", "/home/anna/Alben/Urlaub.kvt"},
    {"/home/anna/Meine Programme/Nimbra Album", "-p", "/home/anna/Bilder & Co/\"Sommer\".kvt",
     "-t", "/home/anna/$HOME `x` \\y/Vorlage 100%.pwt"},
    {"/home/jürgen/nimbra", "-i", ""},
};

TEST(AutoRunTest, ExecLinesCarryEveryArgumentThrough) {
  for (const std::vector<std::string>& command : kCommands) {
    EXPECT_EQ(ParseExecLine(ExecLine(command)), command) << ExecLine(command);
  }
  EXPECT_EQ(ExecLineArgument("/usr/bin/nimbra"), "/usr/bin/nimbra");
  EXPECT_EQ(ExecLineArgument("a b"), "\"a b\"");
  EXPECT_EQ(ExecLineArgument("100%"), "100%%");
  // Inside quotes a backslash is escaped once for the quoting and once more for the string value.
  EXPECT_EQ(ExecLineArgument("a\\b c"), "\"a\\\\\\\\b c\"");
  // Field codes of other tools are dropped, a doubled percent sign is one.
  EXPECT_EQ(ParseExecLine("nimbra %U -p \"a b\" 5%%"),
            (std::vector<std::string>{"nimbra", "-p", "a b", "5%"}));
  EXPECT_THROW(ExecLineArgument("\xFF\xFE"), std::invalid_argument);
}

class AutoRunFolderTest : public ::testing::Test {
 protected:
  std::string Folder() const { return (folder_.Path() / "autostart").string(); }
  std::string Entry(const std::string& name) const { return (fs::path(Folder()) / name).string(); }

  test::TempFolder folder_;
};

TEST_F(AutoRunFolderTest, WrittenEntryValidatesAndIsFoundByItsCommand) {
  ASSERT_TRUE(ProgramExists("desktop-file-validate"))
      << "desktop-file-validate is missing (Debian package desktop-file-utils)";
  const TAutoRun autoRun(Folder());
  const std::vector<std::string>& command = kCommands[1];
  const std::string& executable = command[0];
  EXPECT_FALSE(autoRun.Installed(executable));
  ASSERT_TRUE(autoRun.Install(executable, {command.begin() + 1, command.end()}, "Velmora Nimbra"));

  const std::string file = Entry("Velmora Nimbra.desktop");
  ASSERT_TRUE(fs::exists(file));
  const TProcessResult validation =
      RunProcess({"desktop-file-validate", file}, std::chrono::seconds(20));
  EXPECT_TRUE(validation.Succeeded()) << validation.Describe() << "\n" << validation.Output;
  EXPECT_EQ(validation.Output, "") << test::TempFolder::Read(file);

  const std::optional<TAutostartEntry> found = autoRun.Find(executable);
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->FileName, "Velmora Nimbra.desktop");
  EXPECT_TRUE(autoRun.Installed(executable));
  EXPECT_FALSE(autoRun.Installed("/usr/bin/other-program"));

  ASSERT_TRUE(autoRun.Remove(executable));
  EXPECT_FALSE(fs::exists(file));
  EXPECT_FALSE(autoRun.Installed(executable));
  EXPECT_FALSE(autoRun.Remove(executable));
}

TEST_F(AutoRunFolderTest, AnotherToolsEntryForTheAlbumIsTakenOver) {
  const TAutoRun autoRun(Folder());
  fs::create_directories(Folder());
  folder_.Write("autostart/aaa-other.desktop",
                "[Desktop Entry]\nType=Application\nName=Other\nExec=/usr/bin/clock --seconds\n");
  folder_.Write("autostart/my-album.desktop",
                "[Desktop Entry]\nType=Application\nName=Mine\n"
                "Exec=env LANG=de_DE.UTF-8 /opt/album/nimbra -p old.kvt\n");
  const std::optional<TAutostartEntry> found = autoRun.Find("/opt/album/nimbra");
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->FileName, "my-album.desktop");

  // Refreshed in place with the current command, not written a second time.
  ASSERT_TRUE(autoRun.Install("/opt/album/nimbra", {"-p", "neu.kvt"}, "Velmora Nimbra"));
  EXPECT_FALSE(fs::exists(Entry("Velmora Nimbra.desktop")));
  const std::string refreshed = test::TempFolder::Read(Entry("my-album.desktop"));
  EXPECT_NE(refreshed.find("Exec=/opt/album/nimbra -p neu.kvt\n"), std::string::npos) << refreshed;

  ASSERT_TRUE(autoRun.Remove("/opt/album/nimbra"));
  EXPECT_FALSE(fs::exists(Entry("my-album.desktop")));
  EXPECT_TRUE(fs::exists(Entry("aaa-other.desktop")));
}

// A command a desktop entry cannot hold and a folder that cannot be made are reported as false,
// and no entry is left behind.
TEST_F(AutoRunFolderTest, InstallReportsWhatItCannotWrite) {
  const TAutoRun autoRun(Folder());
  EXPECT_FALSE(autoRun.Install("/opt/album/nimbra", {"-p", "Urlaub \xFC.kvt"}, "Velmora Nimbra"));
  EXPECT_FALSE(autoRun.Install("/opt/album/\xFF", {"-p", "a.kvt"}, "Velmora Nimbra"));
  EXPECT_FALSE(fs::exists(Folder()));

  folder_.Write("file", "no folder");
  const TAutoRun underAFile((folder_.Path() / "file" / "autostart").string());
  EXPECT_FALSE(underAFile.Install("/opt/album/nimbra", {"-p", "a.kvt"}, "Velmora Nimbra"));
  EXPECT_FALSE(underAFile.Installed("/opt/album/nimbra"));
}

TEST_F(AutoRunFolderTest, SwitchedOffEntriesAndEmptyCommandsDoNotCount) {
  const TAutoRun autoRun(Folder());
  // Without arguments nothing is written: the album would not know what to show.
  EXPECT_FALSE(autoRun.Install("/opt/album/nimbra", {}, "Velmora Nimbra"));
  EXPECT_FALSE(fs::exists(Folder()));

  fs::create_directories(Folder());
  folder_.Write("autostart/album.desktop",
                "[Desktop Entry]\nType=Application\nName=Album\nExec=/opt/album/nimbra -p a.kvt\n"
                "Hidden=true\n");
  EXPECT_TRUE(autoRun.Find("/opt/album/nimbra").has_value());
  EXPECT_FALSE(autoRun.Installed("/opt/album/nimbra"));
  // Switching autostart on again brings the same entry back to life.
  ASSERT_TRUE(autoRun.Install("/opt/album/nimbra", {"-p", "a.kvt"}, "Velmora Nimbra"));
  EXPECT_TRUE(autoRun.Installed("/opt/album/nimbra"));
  EXPECT_FALSE(fs::exists(Entry("Velmora Nimbra.desktop")));
  EXPECT_FALSE(autoRun.Find("").has_value());
}

// Several albums on one machine keep one entry each: album programs by their own path (whole, so
// "urlaub" is not "urlaub2"), albums of documents, which share the program, by the documents too.
TEST_F(AutoRunFolderTest, EveryAlbumHasAnEntryOfItsOwn) {
  const TAutoRun autoRun(Folder());
  struct TAlbum {
    std::string Executable;
    std::vector<std::string> Arguments;
    std::string EntryName;
  };
  const std::vector<TAlbum> albums = {
      {"/home/a/urlaub", {"-i"}, "Velmora Nimbra urlaub"},
      {"/home/a/urlaub2", {"-i"}, "Velmora Nimbra urlaub2"},
      {"/usr/bin/nimbra", {"-p/home/a/Garten.kvt", "-t/home/a/v.pwt"}, "Velmora Nimbra Garten"},
      {"/usr/bin/nimbra", {"-p/home/a/Haus.kvt", "-t/home/a/v.pwt"}, "Velmora Nimbra Haus"},
  };
  const auto reference = [](const TAlbum& album) {
    std::vector<std::string> words{album.Executable};
    if (album.Executable == "/usr/bin/nimbra") {
      words.insert(words.end(), album.Arguments.begin(), album.Arguments.end());
    }
    return words;
  };
  for (const TAlbum& album : albums) {
    EXPECT_FALSE(autoRun.Installed(reference(album))) << album.EntryName;
    ASSERT_TRUE(autoRun.Install(album.Executable, album.Arguments, album.EntryName,
                                reference(album)));
  }
  for (const TAlbum& album : albums) {
    const std::optional<TAutostartEntry> entry = autoRun.Find(reference(album));
    ASSERT_TRUE(entry.has_value()) << album.EntryName;
    EXPECT_EQ(entry->FileName, album.EntryName + ".desktop");
  }
  ASSERT_TRUE(autoRun.Remove(reference(albums[0])));
  ASSERT_TRUE(autoRun.Remove(reference(albums[2])));
  EXPECT_FALSE(autoRun.Installed(reference(albums[0])));
  EXPECT_TRUE(autoRun.Installed(reference(albums[1])));
  EXPECT_FALSE(autoRun.Installed(reference(albums[2])));
  EXPECT_TRUE(autoRun.Installed(reference(albums[3])));
}

}  // namespace
}  // namespace nimbra
