// A small cache of decoded objects under a key, each with an optional expiry time, and with an
// optional limit on their total size. Drawing code asks it before decoding a picture file and
// fills it afterwards, so that a picture used on many pages is decoded once. The bitmap cache of
// the templates library specialises it for 32-bit bitmaps.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "framework/ObjectListEvent.h"

namespace nimbra {

// How long an entry stays valid, measured on TickCount().
class TCacheItemValidInfo {
 public:
  static constexpr uint8_t kAlwaysValid = 0;
  static constexpr uint8_t kValidUntilExpiry = 1;
  // Valid until Expiry, and every use pushes Expiry to at least now + Duration.
  static constexpr uint8_t kSlidingExpiry = 2;

  TCacheItemValidInfo() = default;
  explicit TCacheItemValidInfo(uint64_t expiry) : kind_(kValidUntilExpiry), expiry_(expiry) {}
  TCacheItemValidInfo(uint64_t expiry, uint32_t duration)
      : kind_(kSlidingExpiry), duration_(duration), expiry_(expiry) {}

  // Valid for duration milliseconds from now; with sliding, each use starts the duration anew.
  static std::unique_ptr<TCacheItemValidInfo> CreateFor(uint32_t duration, bool sliding);
  static uint64_t Now();

  uint8_t Kind() const { return kind_; }
  uint32_t Duration() const { return duration_; }
  uint64_t Expiry() const { return expiry_; }
  bool HasExpiry() const { return kind_ == kValidUntilExpiry || kind_ == kSlidingExpiry; }

  // An entry with an expiry stays valid while now is not later than it.
  bool IsValid() const { return !HasExpiry() || Now() <= expiry_; }
  void Touch();

 private:
  uint8_t kind_ = kAlwaysValid;
  uint32_t duration_ = 0;
  uint64_t expiry_ = 0;
};

class TBaseCacheItem : public TObject {
  NIMBRA_DECLARE_CLASS()

 public:
  TBaseCacheItem();

  // Bytes the entry takes; -1 when not known.
  virtual int64_t Size() const { return -1; }
  // An entry without validity information is always valid.
  virtual bool IsValid() const;
  virtual bool HasValidInfo() const { return validInfo_ != nullptr; }
  // Marks a use of the entry, which extends a sliding expiry.
  virtual void Touch();

  // Replaces (and frees) the former validity information.
  void SetValidInfo(std::unique_ptr<TCacheItemValidInfo> info) { validInfo_ = std::move(info); }
  // Creates always-valid information on first access when none was given.
  TCacheItemValidInfo& ValidInfo();
  // The information given, or none, without creating any.
  const TCacheItemValidInfo* GivenValidInfo() const { return validInfo_.get(); }

  uint64_t Created() const { return created_; }
  const std::string& Key() const { return key_; }
  void SetKey(std::string key) { key_ = std::move(key); }

 private:
  uint64_t created_;
  std::unique_ptr<TCacheItemValidInfo> validInfo_;
  std::string key_;
};

// An entry that caches what was decoded from a file. The decoded object itself is held, with its
// type, by the descendant; this class knows only how to drop and rebuild it.
class TFileCacheItem : public TBaseCacheItem {
  NIMBRA_DECLARE_CLASS()

 public:
  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }

  virtual void FreeData() {}
  // Decodes the file again; here it only frees the data.
  virtual bool Reload() {
    FreeData();
    return true;
  }
  virtual bool HasData() const { return false; }

 private:
  std::string fileName_;
};

// The entries of a cache, which it owns.
class TBaseCacheItemList : public TObjectListEvent {
  NIMBRA_DECLARE_CLASS()

 public:
  TBaseCacheItemList() : TObjectListEvent(true) {}
  // The entry at index; none for an object that is not a cache entry.
  TBaseCacheItem* CacheItems(int32_t index) const { return ItemAs<TBaseCacheItem>(index); }
};

// Every operation holds the cache's lock, so that two pages may be drawn with one cache at once.
// An entry that Find returns, and the list Items gives, may change as soon as another thread uses
// the cache; descendants hand out what the entries hold under the lock (see Lock).
class TBaseCache {
 public:
  static constexpr uint32_t kDefaultCheckInterval = 10000;

  TBaseCache();
  virtual ~TBaseCache();
  TBaseCache(const TBaseCache&) = delete;
  TBaseCache& operator=(const TBaseCache&) = delete;

  // Puts the entries in eviction order: those that expire first, by ascending expiry, then those
  // that never expire, each group in its former order.
  virtual void Sort();
  virtual void Unsort();
  // Housekeeping after every change of Items: purge expired entries when due, then shrink.
  virtual void ItemsChanged();
  virtual bool Contains(std::string_view key) const { return Find(key) != nullptr; }
  // The first entry in list order whose key equals key exactly; none otherwise.
  virtual TBaseCacheItem* Find(std::string_view key) const;
  // RemoveExpired once CheckInterval milliseconds have passed since the last purge.
  virtual void CheckExpired();
  virtual void RemoveExpired();
  // Evicts entries in eviction order until TotalSize is within MaxSize; entries of no known
  // size are never evicted for size.
  virtual void Shrink();
  // The sum of the known entry sizes.
  virtual int64_t TotalSize() const;
  virtual void Clear();

  // 0 (or less) means no limit.
  int64_t MaxSize() const { return maxSize_; }
  void SetMaxSize(int64_t maxSize);
  uint32_t CheckInterval() const { return checkInterval_; }
  void SetCheckInterval(uint32_t checkInterval);
  TBaseCacheItemList& Items() { return *items_; }
  const TBaseCacheItemList& Items() const { return *items_; }
  bool Sorted() const { return sorted_; }
  uint64_t LastCheck() const { return lastCheck_; }

 protected:
  // Appends the entry; the housekeeping follows from the list's change event.
  void AddItem(std::unique_ptr<TBaseCacheItem> item);
  // Held by every operation; an operation that calls others holds it once more.
  std::unique_lock<std::recursive_mutex> Lock() const {
    return std::unique_lock<std::recursive_mutex>(mutex_);
  }

 private:
  // Counts the purges and evictions in progress: the changes they make to Items must not start
  // another round of housekeeping that would pull the list from under them.
  class TMaintenance;

  std::unique_ptr<TBaseCacheItemList> items_;
  int64_t maxSize_ = 0;
  uint32_t checkInterval_ = kDefaultCheckInterval;
  bool sorted_ = true;
  uint64_t lastCheck_;
  int maintaining_ = 0;
  mutable std::recursive_mutex mutex_;
};

class TFileCache : public TBaseCache {};

}  // namespace nimbra
