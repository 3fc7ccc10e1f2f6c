#include "templates/Bitmap32Cache.h"

#include <algorithm>

#include "raster/PictureFile.h"
#include "raster/StretchDraw.h"
#include "storage/GlobalHolder.h"

namespace nimbra {

NIMBRA_DEFINE_CLASS(TBitmap32CacheItem, TFileCacheItem)

// ---- TBitmap32CacheItem ----

bool TBitmap32CacheItem::Reload() {
  FreeData();
  data_ = LoadBitmap32(FileName());
  return data_ != nullptr;
}

// ---- TBitmap32Cache ----

bool TBitmap32Cache::AddCopy(const TBitmap32& bitmap, const std::string& key,
                             std::unique_ptr<TCacheItemValidInfo> validInfo) {
  return Add(std::make_shared<const TBitmap32>(bitmap), key, std::move(validInfo));
}

bool TBitmap32Cache::Add(std::shared_ptr<const TBitmap32> bitmap, const std::string& key,
                         std::unique_ptr<TCacheItemValidInfo> validInfo) {
  if (!bitmap) return false;
  auto item = std::make_unique<TBitmap32CacheItem>();
  item->SetData(std::move(bitmap));
  item->SetKey(key);
  item->SetFileName(key);
  item->SetValidInfo(validInfo ? std::move(validInfo) : std::make_unique<TCacheItemValidInfo>());
  AddItem(std::move(item));
  return true;
}

void TBitmap32Cache::FitSize(int width, int height, int maxWidth, int maxHeight, int& fittedWidth,
                             int& fittedHeight) {
  // 64-bit products are exact, so the truncation is that of the true quotient.
  int64_t w = maxWidth;
  int64_t h = int64_t{height} * maxWidth / width;
  if (h > maxHeight) {
    h = maxHeight;
    w = int64_t{width} * maxHeight / height;
  }
  fittedWidth = static_cast<int>(std::max<int64_t>(w, 1));
  fittedHeight = static_cast<int>(std::max<int64_t>(h, 1));
}

bool TBitmap32Cache::AddScaled(const TBitmap32& bitmap, const std::string& key, int width,
                               int height, bool /*flag*/,
                               std::unique_ptr<TCacheItemValidInfo> validInfo) {
  if (bitmap.Width() == width && bitmap.Height() == height) {
    return AddCopy(bitmap, key, std::move(validInfo));
  }
  if (bitmap.Width() <= 0 || bitmap.Height() <= 0 || width <= 0 || height <= 0) return false;
  int fittedWidth = 0;
  int fittedHeight = 0;
  FitSize(bitmap.Width(), bitmap.Height(), width, height, fittedWidth, fittedHeight);
  auto scaled = std::make_unique<TBitmap32>(fittedWidth, fittedHeight);
  StretchDrawOpaque(bitmap, *scaled);
  return Add(std::move(scaled), key, std::move(validInfo));
}

std::unique_ptr<TBitmap32> TBitmap32Cache::GetCopy(const std::string& key) {
  const std::shared_ptr<const TBitmap32> bitmap = Get(key);
  if (bitmap == nullptr) return nullptr;
  return std::make_unique<TBitmap32>(*bitmap);
}

std::shared_ptr<const TBitmap32> TBitmap32Cache::Get(const std::string& key) {
  const auto lock = Lock();
  CheckExpired();
  auto* item = dynamic_cast<TBitmap32CacheItem*>(Find(key));
  if (item == nullptr) return nullptr;
  item->Touch();
  // A use may push the entry's expiry back, which changes its place in eviction order.
  Unsort();
  return item->Data();
}

// ---- the program's cache ----

namespace {

TGlobalHolder<TBitmap32Cache>& GlobalCache() {
  static TGlobalHolder<TBitmap32Cache> holder;
  return holder;
}

}  // namespace

std::shared_ptr<const TBitmap32> CachedOrDecodedBitmap32(const std::string& name,
                                                         uint32_t validityMs) {
  const std::shared_ptr<TBitmap32Cache> cache = Bitmap32Cache();
  if (cache) {
    if (std::shared_ptr<const TBitmap32> cached = cache->Get(name)) return cached;
  }
  std::shared_ptr<const TBitmap32> decoded = LoadBitmap32(name);
  if (decoded && cache) {
    cache->Add(decoded, name, TCacheItemValidInfo::CreateFor(validityMs, true));
  }
  return decoded;
}

std::shared_ptr<TBitmap32Cache> Bitmap32Cache() {
  return GlobalCache().Get();
}

void CreateBitmap32Cache() {
  if (!GlobalCache().Get()) GlobalCache().Set(std::make_shared<TBitmap32Cache>());
}

void FreeBitmap32Cache() {
  GlobalCache().Set(nullptr);
}

void SetBitmap32Cache(std::shared_ptr<TBitmap32Cache> cache) {
  GlobalCache().Set(std::move(cache));
}

}  // namespace nimbra
