#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "../framework/ManualTickSource.h"
#include "TempFolder.h"
#include "raster/PictureFormats.h"
#include "storage/FileAccess.h"
#include "storage/Stream.h"
#include "storage/StreamErrors.h"
#include "templates/Bitmap32Cache.h"

namespace nimbra {
namespace {

using test::ManualTickSource;

TBitmap32 Filled(int width, int height, TColor32 colour) {
  TBitmap32 bitmap(width, height);
  bitmap.Clear(colour);
  return bitmap;
}

std::vector<std::string> Keys(const TBaseCache& cache) {
  std::vector<std::string> keys;
  for (int32_t i = 0; i < cache.Items().Count(); ++i)
    keys.push_back(cache.Items().CacheItems(i)->Key());
  return keys;
}

using KeyList = std::vector<std::string>;

TEST(Bitmap32CacheTest, EntriesUsedInTimeStayAndForgottenOnesGo) {
  ManualTickSource clock;
  TBitmap32Cache cache;
  cache.AddCopy(Filled(2, 2, kColor32Black), "used.jpg",
                TCacheItemValidInfo::CreateFor(30000, true));
  cache.AddCopy(Filled(2, 2, kColor32White), "forgotten.jpg",
                TCacheItemValidInfo::CreateFor(30000, true));

  for (int second = 10; second <= 30; second += 10) {
    clock.Advance(10000);
    EXPECT_NE(cache.Get("used.jpg"), nullptr) << second;
  }
  // At 30 s the forgotten entry has reached its expiry but not passed it.
  EXPECT_TRUE(cache.Contains("forgotten.jpg"));

  clock.Advance(5000);
  EXPECT_NE(cache.Get("used.jpg"), nullptr);
  EXPECT_TRUE(cache.Contains("forgotten.jpg")) << "expired, but no purge is due yet";

  clock.Advance(5000);  // 40 s, and 10 s since the last purge
  ASSERT_NE(cache.Get("used.jpg"), nullptr);
  EXPECT_EQ(Keys(cache), KeyList{"used.jpg"});

  // Left alone for more than 30 s, the used entry goes at the next change as well.
  clock.Advance(31000);
  cache.AddCopy(Filled(1, 1, kColor32Black), "next.jpg");
  EXPECT_EQ(Keys(cache), KeyList{"next.jpg"});
}

TEST(Bitmap32CacheTest, CopiesAreTheCallersOwn) {
  TBitmap32Cache cache;
  TBitmap32 original = Filled(3, 2, Color32(10, 20, 30));
  ASSERT_TRUE(cache.AddCopy(original, "a.png"));
  original.Clear(kColor32White);

  std::unique_ptr<TBitmap32> first = cache.GetCopy("a.png");
  std::unique_ptr<TBitmap32> second = cache.GetCopy("a.png");
  ASSERT_TRUE(first && second);
  EXPECT_NE(first.get(), second.get());
  first->SetPixel(0, 0, kColor32Black);
  EXPECT_EQ(second->Pixel(0, 0), Color32(10, 20, 30));
  EXPECT_EQ(*cache.Get("a.png"), Filled(3, 2, Color32(10, 20, 30)));

  EXPECT_EQ(cache.GetCopy("missing.png"), nullptr);
  EXPECT_EQ(cache.Get("missing.png"), nullptr);
  EXPECT_FALSE(cache.Add(nullptr, "none.png"));
  EXPECT_FALSE(cache.Contains("none.png"));
}

TEST(Bitmap32CacheTest, HandlesOutliveTheirEntriesWhileTwoDrawingsUseTheCache) {
  TBitmap32Cache cache;
  cache.AddCopy(Filled(2, 2, kColor32White), "kept.jpg");
  const std::shared_ptr<const TBitmap32> handle = cache.Get("kept.jpg");
  cache.Clear();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(*handle, Filled(2, 2, kColor32White));

  // One drawing fills and reads the cache while the other empties it.
  const auto draw = [&cache](bool clears) {
    for (int i = 0; i < 300; ++i) {
      const std::string key = std::to_string(i % 7) + ".jpg";
      if (clears && i % 10 == 0) cache.Clear();
      if (!cache.Contains(key)) cache.AddScaled(Filled(8, 4, kColor32Black), key, 4, 4, false);
      if (const std::shared_ptr<const TBitmap32> bitmap = cache.Get(key)) {
        EXPECT_EQ(*bitmap, Filled(4, 2, kColor32Black));
      }
    }
  };
  std::thread other(draw, true);
  draw(false);
  other.join();
}

TEST(Bitmap32CacheTest, SameKeyTwiceKeepsBothAndFindsTheFirst) {
  TBitmap32Cache cache;
  cache.AddCopy(Filled(1, 1, kColor32Black), "same.jpg");
  cache.Add(std::make_unique<TBitmap32>(Filled(1, 1, kColor32White)), "same.jpg");
  EXPECT_EQ(cache.Items().Count(), 2);
  EXPECT_EQ(cache.Get("same.jpg")->Pixel(0, 0), kColor32Black);
  EXPECT_EQ(cache.GetCopy("same.jpg")->Pixel(0, 0), kColor32Black);
  auto* item = dynamic_cast<TBitmap32CacheItem*>(cache.Find("same.jpg"));
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->FileName(), "same.jpg");
}

TEST(Bitmap32CacheTest, SizeLimitEvictsTheFirstToExpire) {
  ManualTickSource clock;
  TBitmap32Cache cache;
  cache.SetMaxSize(8'000'000);
  const TBitmap32 big(1000, 1000);
  cache.AddCopy(big, "later.jpg", TCacheItemValidInfo::CreateFor(20000, false));
  cache.AddCopy(big, "sooner.jpg", TCacheItemValidInfo::CreateFor(10000, false));
  EXPECT_EQ(cache.TotalSize(), 8'000'000);
  cache.AddCopy(big, "always.jpg");
  EXPECT_EQ(Keys(cache), (KeyList{"later.jpg", "always.jpg"}));
  EXPECT_EQ(cache.TotalSize(), 8'000'000);
}

TEST(Bitmap32CacheTest, WithoutLimitNothingIsEvicted) {
  TBitmap32Cache cache;
  const TBitmap32 big(1000, 1000);
  for (int i = 0; i < 4; ++i)
    cache.AddCopy(big, std::to_string(i) + ".jpg", TCacheItemValidInfo::CreateFor(10, false));
  EXPECT_EQ(cache.Items().Count(), 4);
  EXPECT_EQ(cache.TotalSize(), 16'000'000);
}

TEST(Bitmap32CacheTest, AUseChangesTheEvictionOrder) {
  ManualTickSource clock;
  TBitmap32Cache cache;
  cache.AddCopy(Filled(1, 1, kColor32Black), "a.jpg", TCacheItemValidInfo::CreateFor(1000, true));
  cache.Sort();
  ASSERT_TRUE(cache.Sorted());
  clock.Advance(500);
  cache.Get("a.jpg");
  EXPECT_FALSE(cache.Sorted());
}

TEST(Bitmap32CacheTest, ScaledEntriesFitTheirBoxWithTheBitmapsProportions) {
  struct Case {
    int width, height, boxWidth, boxHeight, fittedWidth, fittedHeight;
  };
  const Case cases[] = {{400, 300, 200, 200, 200, 150}, {300, 400, 200, 200, 150, 200},
                        {1, 1000, 200, 200, 1, 200},    {1000, 1, 200, 200, 200, 1},
                        {3, 7, 7, 100, 7, 16},          {100, 100, 50, 80, 50, 50}};
  for (const Case& c : cases) {
    int w = 0;
    int h = 0;
    TBitmap32Cache::FitSize(c.width, c.height, c.boxWidth, c.boxHeight, w, h);
    EXPECT_EQ(w, c.fittedWidth) << c.width << "x" << c.height;
    EXPECT_EQ(h, c.fittedHeight) << c.width << "x" << c.height;
  }

  TBitmap32Cache cache;
  const TBitmap32 photo = Filled(400, 300, Color32(50, 100, 150));
  ASSERT_TRUE(cache.AddScaled(photo, "photo.jpg", 200, 200, true));
  EXPECT_EQ(*cache.Get("photo.jpg"), Filled(200, 150, Color32(50, 100, 150)));
  EXPECT_EQ(photo, Filled(400, 300, Color32(50, 100, 150)));

  ASSERT_TRUE(cache.AddScaled(Filled(1, 1000, kColor32White), "thin.jpg", 200, 200, false));
  EXPECT_EQ(cache.Get("thin.jpg")->Width(), 1);
  EXPECT_EQ(cache.Get("thin.jpg")->Height(), 200);

  // At the box's size the bitmap is stored as it is.
  TBitmap32 exact = Filled(2, 2, kColor32Black);
  exact.SetPixel(1, 1, kColor32White);
  ASSERT_TRUE(cache.AddScaled(exact, "exact.jpg", 2, 2, false));
  EXPECT_EQ(*cache.Get("exact.jpg"), exact);

  EXPECT_FALSE(cache.AddScaled(TBitmap32(), "empty.jpg", 10, 10, false));
  EXPECT_FALSE(cache.AddScaled(photo, "nobox.jpg", 0, 10, false));
  EXPECT_EQ(cache.Items().Count(), 3);
}

// A picture format of the tests: "T32", width and height as 16-bit little-endian numbers, then
// the pixels as 32-bit little-endian numbers.
class TTestPicture : public TPictureReader {
 public:
  using TPictureReader::TPictureReader;

  static std::unique_ptr<TPictureReader> Open(TStream& stream) {
    return std::make_unique<TTestPicture>(stream);
  }

 protected:
  TPictureSize ReadShownSize() override {
    TStream& stream = Stream();
    uint8_t header[7];
    stream.ReadBuffer(header, sizeof header);
    if (std::memcmp(header, "T32", 3) != 0) throw EReadError("not a test picture");
    const int width = header[3] | header[4] << 8;
    const int height = header[5] | header[6] << 8;
    if (stream.Remaining() < int64_t{width} * height * 4) throw EReadError("pixels missing");
    return {width, height};
  }

  TBitmap32 DecodePixels(const TDecodeHint&) override {
    TStream& stream = Stream();
    const auto [width, height] = ReadHeader();
    TBitmap32 bitmap;
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        uint8_t p[4];
        stream.ReadBuffer(p, 4);
        bitmap.SetPixel(
            x, y,
            TColor32(p[0]) | TColor32(p[1]) << 8 | TColor32(p[2]) << 16 | TColor32(p[3]) << 24);
      }
    }
    return bitmap;
  }
};

// A picture that is not a 32-bit bitmap.
class TOtherPicture : public TGraphic {
 public:
  void LoadFromStream(TStream&) override {}
  int Width() const override { return 1; }
  int Height() const override { return 1; }
};

class Bitmap32CacheReloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousAccess_ = FileAccess();
    SetFileAccess(std::make_shared<TFileAccess>());
    RegisterPictureFormat("t32", "Testbild", TTestPicture::Open);
    RegisterPictureFormat("other", "Anderes", [] { return std::make_unique<TOtherPicture>(); });
  }
  void TearDown() override {
    UnregisterPictureFormat("t32");
    UnregisterPictureFormat("other");
    SetFileAccess(previousAccess_);
  }

  bool Reload(TBitmap32CacheItem& item, const std::string& name) {
    item.SetFileName(folder_.File(name));
    return item.Reload();
  }

  test::TempFolder folder_;
  std::shared_ptr<IFileAccess> previousAccess_;
};

TEST_F(Bitmap32CacheReloadTest, ReloadDecodesTheFileThroughThePictureReaders) {
  const std::string picture("T32\x02\x00\x01\x00\x11\x22\x33\xff\x44\x55\x66\x80", 15);
  folder_.Write("pic.t32", picture);
  TBitmap32CacheItem item;
  ASSERT_TRUE(Reload(item, "pic.t32"));
  ASSERT_TRUE(item.HasData());
  EXPECT_EQ(item.Data()->Pixel(0, 0), 0xFF332211u);
  EXPECT_EQ(item.Data()->Pixel(1, 0), 0x80665544u);
  EXPECT_EQ(item.Size(), 8);
}

TEST_F(Bitmap32CacheReloadTest, FailedReloadLeavesNoBitmap) {
  folder_.Write("short.t32", std::string("T32\x10\x00\x10\x00\x01\x02", 10));
  folder_.Write("empty.t32", std::string("T32\x00\x00\x00\x00", 7));
  folder_.Write("pic.other", "anything");
  TBitmap32CacheItem item;
  item.SetData(std::make_unique<TBitmap32>(4, 4));
  for (const char* name : {"short.t32", "empty.t32", "pic.other", "missing.t32", "pic.unknown"}) {
    EXPECT_FALSE(Reload(item, name)) << name;
    EXPECT_FALSE(item.HasData()) << name;
    EXPECT_EQ(item.Size(), 0) << name;
  }
}

TEST(Bitmap32CacheGlobalTest, TheProgramsCacheLivesFromStartToEnd) {
  FreeBitmap32Cache();
  EXPECT_EQ(Bitmap32Cache(), nullptr);
  CreateBitmap32Cache();
  const std::shared_ptr<TBitmap32Cache> cache = Bitmap32Cache();
  ASSERT_NE(cache, nullptr);
  EXPECT_EQ(cache->MaxSize(), 0);
  EXPECT_EQ(cache->Items().Count(), 0);
  cache->AddCopy(TBitmap32(1, 1), "kept.jpg");
  CreateBitmap32Cache();
  EXPECT_EQ(Bitmap32Cache(), cache) << "a second start keeps the cache";
  FreeBitmap32Cache();
  EXPECT_EQ(Bitmap32Cache(), nullptr);
}

}  // namespace
}  // namespace nimbra
