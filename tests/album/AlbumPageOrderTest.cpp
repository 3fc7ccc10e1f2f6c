#include "album/AlbumPageOrder.h"

#include <gtest/gtest.h>

#include <string>

#include "TempFolder.h"
#include "album/DesktopNimbraProperties.h"
#include "framework/KeyValueStore.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

constexpr std::string_view kKey = "\\Software\\Velmora\\Nimbra\\1.x\\Alben\\0123456789abcdef\\";

TEST(AlbumPageOrderTest, FiveBytesOfOrderAndLittleEndianSeedAndAnythingElseReadsAsStored) {
  const struct {
    TAlbumPageOrder Order;
    std::string Bytes;
  } cases[] = {
      {{TPageOrderMode::AsStored, 0}, std::string("\x00\x00\x00\x00\x00", 5)},
      {{TPageOrderMode::ByCaptureDate, 0}, std::string("\x01\x00\x00\x00\x00", 5)},
      {{TPageOrderMode::Random, 0x12345678}, std::string("\x02\x78\x56\x34\x12", 5)},
  };
  for (const auto& [order, bytes] : cases) {
    EXPECT_EQ(EncodePageOrder(order), bytes);
    EXPECT_EQ(DecodePageOrder(bytes), order);
  }
  for (const std::string& damaged :
       {std::string(), std::string("\x02\x01\x00\x00", 4),
        std::string("\x02\x01\x00\x00\x00\x00", 6), std::string("\x03\x01\x00\x00\x00", 5)}) {
    EXPECT_EQ(DecodePageOrder(damaged), TAlbumPageOrder{}) << damaged.size();
  }
  // Only a shuffle depends on its seed.
  EXPECT_TRUE(OrdersAlike({TPageOrderMode::ByCaptureDate, 1}, {TPageOrderMode::ByCaptureDate, 2}));
  EXPECT_FALSE(OrdersAlike({TPageOrderMode::Random, 1}, {TPageOrderMode::Random, 2}));
}

TEST(AlbumPageOrderTest, KeptInTheAlbumsKeyBesideTheUnchangedSettings) {
  test::TempFolder folder;
  TKeyValueStore store(folder.Path().string());
  const TAlbumPageOrder random{TPageOrderMode::Random, 4711};
  // No key, then a key without the value: as stored.
  EXPECT_EQ(LoadPageOrder(store, kKey), TAlbumPageOrder{});
  TDesktopNimbraProperties settings;
  settings.SetPageOrder(random);
  ASSERT_TRUE(settings.SaveToUserStore(store, kKey));
  EXPECT_EQ(LoadPageOrder(store, kKey), TAlbumPageOrder{});

  ASSERT_TRUE(SavePageOrder(store, kKey, random));
  EXPECT_EQ(LoadPageOrder(store, kKey), random);
  ASSERT_TRUE(store.OpenKeyReadOnly(kKey));
  EXPECT_EQ(store.GetValueNames(), (std::vector<std::string>{"OrielProperties", "Reihenfolge"}));
  EXPECT_EQ(store.GetDataSize("OrielProperties"), TDesktopNimbraProperties::kStoredSize);
  store.CloseKey();

  // A value of another size from some other writer is not read.
  ASSERT_TRUE(store.OpenKey(kKey, false));
  store.WriteBinaryData("Reihenfolge", std::string("\x02\x01\x00\x00\x00\x00", 6));
  store.CloseKey();
  EXPECT_EQ(LoadPageOrder(store, kKey), TAlbumPageOrder{});
}

TEST(AlbumPageOrderTest, TheSettingsCarryTheOrderInCopiesButNotInTheirStoredForm) {
  TDesktopNimbraProperties settings;
  TMemoryStream plain;
  ASSERT_TRUE(settings.SaveToStream(plain, 0, 0));
  const TAlbumPageOrder byDate{TPageOrderMode::ByCaptureDate, 9};
  settings.SetPageOrder(byDate);
  TMemoryStream withOrder;
  ASSERT_TRUE(settings.SaveToStream(withOrder, 0, 0));
  EXPECT_EQ(withOrder.ToString(), plain.ToString());
  // The dialog edits a copy and takes it back on OK.
  const std::unique_ptr<TProperties> copy = settings.Clone();
  auto* copied = dynamic_cast<TDesktopNimbraProperties*>(copy.get());
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(copied->PageOrder(), byDate);
  // "Standardwerte" brings back the album's settings; the order is the user's and stays.
  settings.SetInterval(60000);
  settings.Reset();
  EXPECT_EQ(settings.Interval(), TDesktopNimbraProperties::kDefaultInterval);
  EXPECT_EQ(settings.PageOrder(), byDate);
}

}  // namespace
}  // namespace nimbra
