#include "album/DesktopNimbraProperties.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "OneFileAccess.h"
#include "TempFolder.h"
#include "album/NimbraApplicationInfo.h"
#include "album/WallpaperProperties.h"
#include "framework/AfterInitialization.h"
#include "framework/FrameworkStartup.h"
#include "framework/GlobalProperties.h"
#include "framework/KeyValueStore.h"
#include "storage/FileAccess.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

std::string Stored(const TProperties& bag) {
  TMemoryStream stream;
  EXPECT_TRUE(bag.SaveToStream(stream, 0, 0));
  return stream.ToString();
}

TEST(DesktopNimbraPropertiesTest, NineBytesWithoutHeader) {
  TDesktopNimbraProperties bag;
  EXPECT_EQ(bag.Interval(), 1800000);
  EXPECT_EQ(bag.ChangeMode(), 0);
  EXPECT_EQ(bag.Page(), -1);
  // 1800000 = 0x001B7740, mode 0, page -1
  EXPECT_EQ(Stored(bag), std::string("\x40\x77\x1B\x00\x00\xFF\xFF\xFF\xFF", 9));

  bag.SetInterval(90500);
  bag.SetChangeMode(2);
  bag.SetPage(7);
  const std::string bytes = Stored(bag);
  EXPECT_EQ(bytes, std::string("\x84\x61\x01\x00\x02\x07\x00\x00\x00", 9));
  TDesktopNimbraProperties copy;
  TMemoryStream stream(bytes);
  ASSERT_TRUE(copy.LoadFromStream(stream, 0, 0));
  EXPECT_EQ(copy.Interval(), 90500);
  EXPECT_EQ(copy.ChangeMode(), 2);
  EXPECT_EQ(copy.Page(), 7);
}

TEST(DesktopNimbraPropertiesTest, ShortCopyChangesNothing) {
  TDesktopNimbraProperties bag;
  bag.SetPage(3);
  TMemoryStream stream(std::string("\x10\x27\x00\x00\x01\x05", 6));
  EXPECT_FALSE(bag.LoadFromStream(stream, 0, 0));
  EXPECT_EQ(bag.Interval(), 1800000);
  EXPECT_EQ(bag.ChangeMode(), 0);
  EXPECT_EQ(bag.Page(), 3);
}

TEST(DesktopNimbraPropertiesTest, UserCopyLivesInTheProductKey) {
  test::TempFolder folder;
  InstallApplicationInfo();
  TKeyValueStore store(folder.Path().string());
  TDesktopNimbraProperties bag;
  EXPECT_FALSE(bag.LoadFromUserStore(store));  // no key yet: unchanged
  EXPECT_EQ(bag.Interval(), 1800000);
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Velmora"));

  bag.SetInterval(60000);
  bag.SetChangeMode(1);
  bag.SetPage(12);
  ASSERT_TRUE(bag.SaveToUserStore(store));
  ASSERT_TRUE(std::filesystem::exists(folder.Path() / "Velmora" / "Nimbra" / "1.x" / "values.nkv"));
  ASSERT_TRUE(store.OpenKeyReadOnly("\\Software\\Velmora\\Nimbra\\1.x\\"));
  EXPECT_EQ(store.GetValueNames(), std::vector<std::string>{"OrielProperties"});
  EXPECT_EQ(store.ReadBinaryData("OrielProperties"), Stored(bag));
  store.CloseKey();

  TDesktopNimbraProperties loaded;
  ASSERT_TRUE(loaded.LoadFromUserStore(store));
  EXPECT_EQ(Stored(loaded), Stored(bag));
  ClearApplicationInfo();
}

TEST(DesktopNimbraPropertiesTest, PackageCopyIsReadThroughTheFileAccess) {
  TDesktopNimbraProperties bag;
  SetFileAccess(nullptr);
  EXPECT_FALSE(bag.LoadFromPackageFile());
  SetFileAccess(std::make_shared<test::TOneFileAccess>(
      "|Oriel.cfg", std::string("\x30\x75\x00\x00\x02\x04\x00\x00\x00", 9)));
  ASSERT_TRUE(bag.LoadFromPackageFile());
  EXPECT_EQ(bag.Interval(), 30000);
  EXPECT_EQ(bag.ChangeMode(), 2);
  EXPECT_EQ(bag.Page(), 4);
  SetFileAccess(nullptr);
}

TEST(DesktopNimbraPropertiesTest, AStoredIntervalBelowTenSecondsReadsAsTenSeconds) {
  // Interval, mode 0, page 2: as the package's "|Oriel.cfg" or the user's copy stores them.
  const auto stored = [](int32_t interval) {
    std::string bytes(9, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((interval >> (8 * i)) & 0xFF);
    bytes[5] = 2;
    return bytes;
  };
  for (const auto& [interval, read] : std::vector<std::pair<int32_t, int32_t>>{
           {0, 10000}, {2000, 10000}, {9999, 10000}, {-5, 10000}, {10000, 10000}, {10001, 10001}}) {
    TDesktopNimbraProperties bag;
    TMemoryStream stream(stored(interval));
    ASSERT_TRUE(bag.LoadFromStream(stream, 0, 0)) << interval;
    EXPECT_EQ(bag.Interval(), read) << interval;
    EXPECT_EQ(bag.Page(), 2);
    // The stored form stays nine bytes, now with the interval read.
    EXPECT_EQ(Stored(bag), stored(read));
  }
  SetFileAccess(std::make_shared<test::TOneFileAccess>("|Oriel.cfg", stored(0)));
  TDesktopNimbraProperties packaged;
  ASSERT_TRUE(packaged.LoadFromPackageFile());
  EXPECT_EQ(packaged.Interval(), 10000);
  SetFileAccess(nullptr);
  // Only reading is checked: a bag may hold any interval until it is stored and read again.
  packaged.SetInterval(0);
  EXPECT_EQ(packaged.Interval(), 0);
}

TEST(WallpaperPropertiesTest, OneByteAndAPlaceInTheGlobalList) {
  TWallpaperProperties bag;
  EXPECT_TRUE(bag.UpdateProfile());
  EXPECT_EQ(Stored(bag), std::string("\x01", 1));
  bag.SetUpdateProfile(false);
  EXPECT_EQ(Stored(bag), std::string("\x00", 1));

  InstallApplicationInfo();
  FrameworkStartup();
  RegisterWallpaperProperties();
  ASSERT_NE(WallpaperProperties(), nullptr);
  const TPropertiesListItem* item =
      GlobalPropertiesList()->FindItemByClass(TWallpaperProperties::StaticClass());
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->Caption(), "Grundeinstellungen");
  GlobalPropertiesList()->SetCaptionByClass(TWallpaperProperties::StaticClass(), "anders");
  AfterInitialization().RunSteps();
  EXPECT_EQ(item->Caption(), "Grundeinstellungen");
  EXPECT_EQ(GetClass("TWallpaperProperties"), &TWallpaperProperties::StaticClass());
  UnregisterWallpaperProperties();
  FrameworkShutdown();
  EXPECT_EQ(WallpaperProperties(), nullptr);
  ClearApplicationInfo();
}

}  // namespace
}  // namespace nimbra
