#include "album/ScreenPages.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "TempFolder.h"
#include "album/DesktopNimbraProperties.h"
#include "framework/KeyValueStore.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

constexpr std::string_view kKey = "\\Software\\Velmora\\Nimbra\\1.x\\Alben\\0123456789abcdef\\";

TEST(ScreenPagesTest, OneByteInTheAlbumsKeyAndAnythingElseReadsAsConsecutivePages) {
  EXPECT_EQ(EncodeScreenPages(TScreenPages::SamePage), std::string(1, '\0'));
  EXPECT_EQ(EncodeScreenPages(TScreenPages::ConsecutivePages), "\x01");
  for (const std::string& damaged :
       {std::string(), std::string("\x02"), std::string("\x00\x00", 2)}) {
    EXPECT_EQ(DecodeScreenPages(damaged), TScreenPages::ConsecutivePages) << damaged.size();
  }

  test::TempFolder folder;
  TKeyValueStore store(folder.Path().string());
  EXPECT_EQ(LoadScreenPages(store, kKey), TScreenPages::ConsecutivePages);
  ASSERT_TRUE(SaveScreenPages(store, kKey, TScreenPages::SamePage));
  EXPECT_EQ(LoadScreenPages(store, kKey), TScreenPages::SamePage);
  ASSERT_TRUE(store.OpenKeyReadOnly(kKey));
  EXPECT_EQ(store.GetValueNames(), (std::vector<std::string>{"Bildschirme"}));
  store.CloseKey();

  // The settings carry the choice in copies and through "Standardwerte", not in their stored form.
  TDesktopNimbraProperties settings;
  TMemoryStream plain;
  ASSERT_TRUE(settings.SaveToStream(plain, 0, 0));
  settings.SetScreenPages(TScreenPages::SamePage);
  TMemoryStream withChoice;
  ASSERT_TRUE(settings.SaveToStream(withChoice, 0, 0));
  EXPECT_EQ(withChoice.ToString(), plain.ToString());
  const std::unique_ptr<TProperties> copy = settings.Clone();
  EXPECT_EQ(dynamic_cast<TDesktopNimbraProperties&>(*copy).ScreenPages(), TScreenPages::SamePage);
  settings.Reset();
  EXPECT_EQ(settings.ScreenPages(), TScreenPages::SamePage);
}

}  // namespace
}  // namespace nimbra
