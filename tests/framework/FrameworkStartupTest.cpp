#include "framework/FrameworkStartup.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "TempFolder.h"
#include "framework/AfterInitialization.h"
#include "framework/ApplicationInfo.h"
#include "framework/ExternalPlugins.h"
#include "framework/FrameworkFolders.h"
#include "framework/GlobalProperties.h"
#include "framework/Plugins.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

namespace fs = std::filesystem;

TEST(FrameworkStartupTest, StartsWithTheFrameworksOwnBagAndEndsClean) {
  ASSERT_EQ(MainPlugins(), nullptr);
  const size_t stepsBefore = AfterInitialization().Count();
  FrameworkStartup();
  ASSERT_NE(MainPlugins(), nullptr);
  TPlugins* plugins = MainPlugins();
  FrameworkStartup();  // a second start changes nothing
  EXPECT_EQ(MainPlugins(), plugins);
  EXPECT_EQ(ProgramFolder(), ExecutableFolder());

  TPropertiesList* list = GlobalPropertiesList();
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->Count(), 1);
  const TPropertiesListItem& item = list->Items(0);
  EXPECT_EQ(&item.Properties().ClassType(), &TExternalPluginProperties::StaticClass());
  EXPECT_EQ(&item.OwnerClass(), &TExternalPluginProperties::StaticClass());
  EXPECT_TRUE(item.OwnsProperties());
  EXPECT_EQ(item.Caption(), "Grundeinstellungen");
  ASSERT_NE(ExternalPluginManager(), nullptr);
  EXPECT_EQ(&ExternalPluginManager()->Properties(), &item.Properties());

  // Once start-up has finished, the caption is given again.
  EXPECT_EQ(AfterInitialization().Count(), stepsBefore + 1);
  list->SetCaptionByClass(TExternalPluginProperties::StaticClass(), "vorläufig");
  AfterInitialization().RunSteps();
  EXPECT_EQ(list->Items(0).Caption(), "Grundeinstellungen");

  SetProgramFolder("/opt/nimbra");
  FrameworkShutdown();
  EXPECT_EQ(ExternalPluginManager(), nullptr);
  EXPECT_EQ(GlobalPropertiesList(), nullptr);
  EXPECT_EQ(MainPlugins(), nullptr);
  EXPECT_EQ(ProgramFolder(), ExecutableFolder());
}

TEST(AfterInitializationTest, StepsRunOnceInTheirOrder) {
  TAfterInitialization steps;
  std::string trace;
  steps.AddStep([&] { trace += "a"; });
  steps.AddStep([&] {
    trace += "b";
    steps.AddStep([&] { trace += "c"; });
  });
  steps.RunSteps();
  steps.RunSteps();
  EXPECT_EQ(trace, "abc");
  EXPECT_EQ(steps.Count(), 0u);

  steps.AddStep([] { throw std::runtime_error("Abbruch"); });
  steps.AddStep([&] { trace += "d"; });
  EXPECT_THROW(steps.RunSteps(), std::runtime_error);
  EXPECT_EQ(steps.Count(), 1u);
  steps.RunSteps();
  EXPECT_EQ(trace, "abcd");
}

// ---- folders ----

class TDataFolderInfo : public ISlideShowApplicationInfo {
 public:
  std::string CompanyName() const override { return "A"; }
  std::string ProductName() const override { return "B"; }
  std::string CopyrightText() const override { return {}; }
  std::string WebUrl() const override { return {}; }
  std::string WebAddress() const override { return {}; }
  std::string Reserved1() const override { return {}; }
  std::string MajorVersion() const override { return "1"; }
  std::string Version() const override { return "1.0"; }
  std::string BuildSuffix() const override { return {}; }
  std::string FullVersion() const override { return "1.0"; }
  std::string RegistryKey() const override { return "\\Software\\A\\B\\1.x\\"; }
  std::string DataFolder() const override { return "A\\B\\"; }
  std::string Reserved2() const override { return {}; }
  std::string LogoFileName() const override { return {}; }
  std::string HelpFileName() const override { return {}; }
  std::string Reserved3() const override { return {}; }
  std::string InternalName() const override { return "B"; }
};

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = ::getenv(name)) old_ = old;
    if (value != nullptr) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnvironment() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class FrameworkFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSlideShowApplicationInfo(std::make_shared<TDataFolderInfo>());
    SetProgramFolder("/opt/nimbra");
  }
  void TearDown() override {
    SetSlideShowApplicationInfo(nullptr);
    ClearFrameworkFolders();
  }

  test::TempFolder folder_;
};

TEST_F(FrameworkFoldersTest, FoldersDeriveFromTheProgramFolder) {
  EXPECT_EQ(ProgramFolder(), "/opt/nimbra/");
  EXPECT_EQ(PresetsFolder(), "/opt/nimbra/Presets/");
  EXPECT_EQ(ApplicationPresetsFolder(), "/opt/nimbra/Presets/");
  EXPECT_EQ(SoundLibraryPath(), "/opt/nimbra/Data/fmod.dll");
}

TEST_F(FrameworkFoldersTest, UserDataFolderIsMadeOnlyWhenAskedFor) {
  const std::string data = (folder_.Path() / "share").string();
  const ScopedEnvironment xdg("XDG_DATA_HOME", data.c_str());
  EXPECT_EQ(UserDataFolder(), data + "/A/B/");
  EXPECT_FALSE(fs::exists(data + "/A/B"));
  EXPECT_EQ(UserPresetsFolder(true), data + "/A/B/Presets/");
  EXPECT_TRUE(fs::is_directory(data + "/A/B/Presets"));
  EXPECT_EQ(UserApplicationPresetsFolder(), data + "/A/B/Presets/");
}

TEST_F(FrameworkFoldersTest, UserDataFolderFallsBack) {
  const ScopedEnvironment noXdg("XDG_DATA_HOME", "relativ/ungueltig");
  const ScopedEnvironment home("HOME", folder_.Path().c_str());
  EXPECT_EQ(UserDataFolder(), folder_.Path().string() + "/.local/share/A/B/");
  SetUserDataFolder("/srv/daten");
  EXPECT_EQ(UserDataFolder(), "/srv/daten/");
}

// ---- the framework's own bag ----

TEST(ExternalPluginPropertiesTest, LinesAreOneStringInASubChunk) {
  TExternalPluginProperties bag;
  bag.SetLines({"a.pkg\t1\t2", "b.pkg\t3\t4"});
  TMemoryStream bytes;
  ASSERT_TRUE(bag.SaveToStream(bytes, 0, 0));
  const std::string text = "a.pkg\t1\t2\r\nb.pkg\t3\t4";
  std::string expected(8, '\0');
  expected[0] = static_cast<char>(8 + text.size());
  expected[4] = static_cast<char>(text.size());
  EXPECT_EQ(bytes.ToString(), expected + text);

  TExternalPluginProperties read;
  bytes.SetPosition(0);
  ASSERT_TRUE(read.LoadFromStream(bytes, 0, 0));
  EXPECT_EQ(read.Lines(), bag.Lines());
  EXPECT_EQ(bag.EditorFrameClassNames(), "TExternalPluginPropertiesEditorFrame");
}

TEST(ExternalPluginPropertiesTest, ValidationDropsLinesOfChangedOrMissingPackages) {
  test::TempFolder folder;
  const std::string kept = folder.Write("gut.pkg", "12345");
  const std::string grown = folder.Write("gewachsen.pkg", "1");
  const std::string gone = folder.Write("weg.pkg", "1");
  const std::string keptLine = TExternalPluginManager::PackageLine(kept);
  const std::string grownLine = TExternalPluginManager::PackageLine(grown);
  const std::string goneLine = TExternalPluginManager::PackageLine(gone);
  EXPECT_NE(keptLine.find("\t5"), std::string::npos);
  std::ofstream(grown, std::ios::app) << "mehr";
  fs::remove(gone);

  TExternalPluginProperties bag;
  bag.SetLines({grownLine, keptLine, "kaputt", goneLine, kept + "\tx\t5"});
  TExternalPluginManager manager(bag);
  manager.Validate();
  EXPECT_EQ(bag.Lines(), std::vector<std::string>{keptLine});
  EXPECT_EQ(TExternalPluginManager::PackageLine(gone), "");
}

}  // namespace
}  // namespace nimbra
