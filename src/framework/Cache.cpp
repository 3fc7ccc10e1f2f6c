#include "framework/Cache.h"

#include <algorithm>
#include <utility>

#include "framework/TickCount.h"

namespace nimbra {

NIMBRA_DEFINE_CLASS(TBaseCacheItem, TObject)
NIMBRA_DEFINE_CLASS(TFileCacheItem, TBaseCacheItem)
NIMBRA_DEFINE_CLASS(TBaseCacheItemList, TObjectListEvent)

// ---- TCacheItemValidInfo ----

uint64_t TCacheItemValidInfo::Now() {
  return TickCount();
}

std::unique_ptr<TCacheItemValidInfo> TCacheItemValidInfo::CreateFor(uint32_t duration,
                                                                    bool sliding) {
  const uint64_t expiry = Now() + duration;
  if (sliding) return std::make_unique<TCacheItemValidInfo>(expiry, duration);
  return std::make_unique<TCacheItemValidInfo>(expiry);
}

void TCacheItemValidInfo::Touch() {
  if (kind_ == kSlidingExpiry) expiry_ = std::max(expiry_, Now() + duration_);
}

// ---- TBaseCacheItem ----

TBaseCacheItem::TBaseCacheItem() : created_(TickCount()) {}

bool TBaseCacheItem::IsValid() const {
  return validInfo_ == nullptr || validInfo_->IsValid();
}

void TBaseCacheItem::Touch() {
  if (validInfo_ != nullptr) validInfo_->Touch();
}

TCacheItemValidInfo& TBaseCacheItem::ValidInfo() {
  if (validInfo_ == nullptr) validInfo_ = std::make_unique<TCacheItemValidInfo>();
  return *validInfo_;
}

// ---- TBaseCache ----

class TBaseCache::TMaintenance {
 public:
  explicit TMaintenance(TBaseCache& cache) : cache_(cache) { ++cache_.maintaining_; }
  ~TMaintenance() { --cache_.maintaining_; }
  TMaintenance(const TMaintenance&) = delete;
  TMaintenance& operator=(const TMaintenance&) = delete;

 private:
  TBaseCache& cache_;
};

TBaseCache::TBaseCache() : items_(std::make_unique<TBaseCacheItemList>()), lastCheck_(TickCount()) {
  items_->OnChange = [this](TObject*) { ItemsChanged(); };
}

TBaseCache::~TBaseCache() {
  // The list announces its clearing as it goes; this cache is no longer there to hear it.
  items_->OnChange = nullptr;
}

void TBaseCache::AddItem(std::unique_ptr<TBaseCacheItem> item) {
  const auto lock = Lock();
  items_->Add(std::move(item));
}

void TBaseCache::Unsort() {
  const auto lock = Lock();
  sorted_ = false;
}

void TBaseCache::Clear() {
  const auto lock = Lock();
  items_->Clear();
}

void TBaseCache::SetMaxSize(int64_t maxSize) {
  const auto lock = Lock();
  maxSize_ = maxSize;
}

void TBaseCache::SetCheckInterval(uint32_t checkInterval) {
  const auto lock = Lock();
  checkInterval_ = checkInterval;
}

void TBaseCache::ItemsChanged() {
  const auto lock = Lock();
  sorted_ = false;
  if (maintaining_ > 0) return;
  CheckExpired();
  Shrink();
}

TBaseCacheItem* TBaseCache::Find(std::string_view key) const {
  const auto lock = Lock();
  for (int32_t i = 0; i < items_->Count(); ++i) {
    TBaseCacheItem* item = items_->CacheItems(i);
    if (item != nullptr && item->Key() == key) return item;
  }
  return nullptr;
}

void TBaseCache::CheckExpired() {
  const auto lock = Lock();
  const uint64_t now = TickCount();
  if (now >= lastCheck_ && now - lastCheck_ >= checkInterval_) RemoveExpired();
}

void TBaseCache::RemoveExpired() {
  const auto lock = Lock();
  {
    TMaintenance maintenance(*this);
    items_->BeginUpdate();
    struct TEndUpdate {
      TBaseCacheItemList& list;
      ~TEndUpdate() { list.EndUpdate(); }
    } endUpdate{*items_};
    for (int32_t i = items_->Count() - 1; i >= 0; --i) {
      const TBaseCacheItem* item = items_->CacheItems(i);
      if (item != nullptr && !item->IsValid()) items_->Delete(i);
    }
  }
  lastCheck_ = TickCount();
}

void TBaseCache::Shrink() {
  const auto lock = Lock();
  if (maxSize_ <= 0) return;
  int64_t total = TotalSize();
  if (total <= maxSize_) return;
  TMaintenance maintenance(*this);
  Sort();
  int32_t i = 0;
  while (total > maxSize_ && i < items_->Count()) {
    const TBaseCacheItem* item = items_->CacheItems(i);
    const int64_t size = item != nullptr ? item->Size() : -1;
    if (size <= 0) {
      ++i;
      continue;
    }
    items_->Delete(i);
    total -= size;
  }
}

void TBaseCache::Sort() {
  const auto lock = Lock();
  if (sorted_) return;
  // The rank of an entry in eviction order: expiring entries by expiry, then the rest.
  auto rankOf = [](const TObject* object) -> std::pair<bool, uint64_t> {
    const auto* item = dynamic_cast<const TBaseCacheItem*>(object);
    const TCacheItemValidInfo* info = item != nullptr ? item->GivenValidInfo() : nullptr;
    if (info == nullptr || !info->HasExpiry()) return {true, 0};
    return {false, info->Expiry()};
  };
  items_->Sort([&rankOf](const TObject* a, const TObject* b) { return rankOf(a) < rankOf(b); });
  sorted_ = true;
}

int64_t TBaseCache::TotalSize() const {
  const auto lock = Lock();
  int64_t total = 0;
  for (int32_t i = 0; i < items_->Count(); ++i) {
    const TBaseCacheItem* item = items_->CacheItems(i);
    // -1 stands for "not known"; such entries add nothing.
    if (item != nullptr && item->Size() >= 0) total += item->Size();
  }
  return total;
}

}  // namespace nimbra
