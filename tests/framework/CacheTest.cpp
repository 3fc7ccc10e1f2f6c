#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ManualTickSource.h"
#include "framework/Cache.h"

namespace nimbra {
namespace {

using test::ManualTickSource;

// An entry of a given size (-1: not known).
class TSizedItem : public TBaseCacheItem {
 public:
  TSizedItem(std::string key, int64_t size, std::unique_ptr<TCacheItemValidInfo> info)
      : size_(size) {
    SetKey(std::move(key));
    if (info) SetValidInfo(std::move(info));
  }
  int64_t Size() const override { return size_; }

 private:
  int64_t size_;
};

class TTestCache : public TFileCache {
 public:
  void Add(const std::string& key, int64_t size,
           std::unique_ptr<TCacheItemValidInfo> info = nullptr) {
    AddItem(std::make_unique<TSizedItem>(key, size, std::move(info)));
  }
  void ItemsChanged() override {
    ++changes;
    TFileCache::ItemsChanged();
  }
  int changes = 0;
};

std::vector<std::string> Keys(const TBaseCache& cache) {
  std::vector<std::string> keys;
  for (int32_t i = 0; i < cache.Items().Count(); ++i)
    keys.push_back(cache.Items().CacheItems(i)->Key());
  return keys;
}

using KeyList = std::vector<std::string>;

std::unique_ptr<TCacheItemValidInfo> ExpiresIn(uint32_t milliseconds) {
  return TCacheItemValidInfo::CreateFor(milliseconds, false);
}

TEST(CacheValidInfoTest, FixedExpiryEndsAfterItsLastMillisecond) {
  ManualTickSource clock;
  const auto fixed = TCacheItemValidInfo::CreateFor(1000, false);
  EXPECT_EQ(fixed->Kind(), TCacheItemValidInfo::kValidUntilExpiry);
  EXPECT_EQ(fixed->Expiry(), clock.Now() + 1000);
  clock.Advance(900);
  fixed->Touch();
  EXPECT_EQ(fixed->Expiry(), clock.Now() + 100) << "only sliding expiries move";
  clock.Advance(100);
  EXPECT_TRUE(fixed->IsValid());
  clock.Advance(1);
  EXPECT_FALSE(fixed->IsValid());

  TCacheItemValidInfo always;
  EXPECT_EQ(always.Kind(), TCacheItemValidInfo::kAlwaysValid);
  clock.Advance(1'000'000'000);
  EXPECT_TRUE(always.IsValid());
}

TEST(CacheValidInfoTest, SlidingExpiryMovesOnlyForward) {
  ManualTickSource clock;
  const uint64_t start = clock.Now();
  const auto sliding = TCacheItemValidInfo::CreateFor(30000, true);
  EXPECT_EQ(sliding->Kind(), TCacheItemValidInfo::kSlidingExpiry);
  EXPECT_EQ(sliding->Duration(), 30000u);
  clock.Advance(10000);
  sliding->Touch();
  EXPECT_EQ(sliding->Expiry(), start + 40000);

  // An expiry set further out than now + Duration is kept.
  TCacheItemValidInfo late(start + 100000, 30000);
  late.Touch();
  EXPECT_EQ(late.Expiry(), start + 100000);
}

TEST(CacheItemTest, ValidityIsAlwaysUntilGivenOtherwise) {
  ManualTickSource clock;
  TSizedItem item("a", 1, nullptr);
  EXPECT_EQ(item.Created(), clock.Now());
  EXPECT_FALSE(item.HasValidInfo());
  EXPECT_TRUE(item.IsValid());
  EXPECT_EQ(item.ValidInfo().Kind(), TCacheItemValidInfo::kAlwaysValid);
  EXPECT_TRUE(item.HasValidInfo());

  item.SetValidInfo(ExpiresIn(10));
  clock.Advance(11);
  EXPECT_FALSE(item.IsValid());
}

TEST(CacheTest, FindTakesTheFirstExactKey) {
  TTestCache cache;
  cache.Add("/photos/A.jpg", 1);
  cache.Add("/photos/a.jpg", 2);
  cache.Add("/photos/A.jpg", 3);
  EXPECT_EQ(cache.Items().Count(), 3);
  EXPECT_EQ(cache.Find("/photos/A.jpg")->Size(), 1);
  EXPECT_EQ(cache.Find("/photos/a.jpg")->Size(), 2);
  EXPECT_EQ(cache.Find("/photos/b.jpg"), nullptr);
  EXPECT_TRUE(cache.Contains("/photos/a.jpg"));
  EXPECT_FALSE(cache.Contains("/PHOTOS/A.JPG"));
}

TEST(CacheTest, ExpiredEntriesGoOnlyWhenThePurgeIsDue) {
  ManualTickSource clock;
  TTestCache cache;
  EXPECT_EQ(cache.CheckInterval(), 10000u);
  EXPECT_EQ(cache.LastCheck(), clock.Now());
  cache.Add("short1", 1, ExpiresIn(1000));
  cache.Add("long", 1, ExpiresIn(60000));
  cache.Add("short2", 1, ExpiresIn(2000));

  clock.Advance(9999);
  cache.CheckExpired();
  EXPECT_EQ(cache.Items().Count(), 3) << "the interval has not passed yet";

  clock.Advance(1);
  cache.changes = 0;
  cache.CheckExpired();
  EXPECT_EQ(Keys(cache), KeyList{"long"});
  EXPECT_EQ(cache.LastCheck(), clock.Now());
  EXPECT_EQ(cache.changes, 1) << "one change for the whole purge";

  // A change to the list is a moment to purge, too.
  clock.Advance(60000);
  cache.Add("new", 1);
  EXPECT_EQ(Keys(cache), KeyList{"new"});
}

TEST(CacheTest, WithoutLimitNothingIsEvictedForSize) {
  TTestCache cache;
  for (int i = 0; i < 20; ++i)
    cache.Add("big" + std::to_string(i), int64_t{1} << 40, ExpiresIn(1000));
  EXPECT_EQ(cache.Items().Count(), 20);
  EXPECT_EQ(cache.TotalSize(), int64_t{20} << 40);
}

TEST(CacheTest, ShrinkEvictsTheFirstToExpireAndSkipsUnknownSizes) {
  ManualTickSource clock;
  TTestCache cache;
  cache.SetMaxSize(100);
  cache.Add("forever", 40);
  cache.Add("unknown", -1, ExpiresIn(1));
  cache.Add("empty", 0, ExpiresIn(2));
  cache.Add("late", 30, ExpiresIn(9000));
  cache.Add("early", 30, ExpiresIn(3000));
  EXPECT_EQ(cache.TotalSize(), 100) << "the size not known counts as nothing";
  EXPECT_EQ(cache.Items().Count(), 5);

  cache.Add("more", 20, ExpiresIn(5000));
  EXPECT_EQ(Keys(cache), (KeyList{"unknown", "empty", "more", "late", "forever"}));
  EXPECT_EQ(cache.TotalSize(), 90);

  // Entries without expiry go last, and only when nothing else is left to go.
  cache.Add("huge", 75);
  EXPECT_EQ(Keys(cache), (KeyList{"unknown", "empty", "huge"}));
}

TEST(CacheTest, SortPutsExpiringEntriesFirstAndKeepsTiesInOrder) {
  ManualTickSource clock;
  TTestCache cache;
  cache.Add("always1", 1);
  cache.Add("b", 1, ExpiresIn(500));
  cache.Add("a", 1, TCacheItemValidInfo::CreateFor(200, true));
  cache.Add("always2", 1);
  cache.Add("b2", 1, ExpiresIn(500));
  EXPECT_FALSE(cache.Sorted());
  cache.Sort();
  EXPECT_TRUE(cache.Sorted());
  EXPECT_EQ(Keys(cache), (KeyList{"a", "b", "b2", "always1", "always2"}));
  cache.Unsort();
  EXPECT_FALSE(cache.Sorted());
}

TEST(CacheTest, ClearFreesEveryEntry) {
  TTestCache cache;
  cache.Add("a", 1);
  cache.Add("b", 2);
  cache.Clear();
  EXPECT_EQ(cache.Items().Count(), 0);
  EXPECT_EQ(cache.TotalSize(), 0);
  // Entries left in a cache go with it (the sanitizer build checks nothing leaks or dangles).
  cache.Add("c", 3);
}

}  // namespace
}  // namespace nimbra
