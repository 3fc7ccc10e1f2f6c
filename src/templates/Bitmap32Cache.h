// The cache of decoded pictures as 32-bit bitmaps, keyed by the picture's full file name. One
// cache serves the whole program: the page backgrounds and the picture elements ask it before
// decoding a picture file and fill it after decoding one. Two pages may be drawn at once, so the
// cache hands out shared handles to its bitmaps: an entry that leaves the cache while a drawing
// still uses its bitmap leaves the bitmap to the drawing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/Cache.h"
#include "raster/Bitmap32.h"

namespace nimbra {

class TBitmap32CacheItem : public TFileCacheItem {
  NIMBRA_DECLARE_CLASS()

 public:
  // Width × height × 4; 0 without a bitmap.
  int64_t Size() const override { return data_ ? data_->ByteSize() : 0; }
  void FreeData() override { data_.reset(); }
  // Decodes FileName through the process-wide file access and the picture readers; false, and
  // no bitmap, when that fails or no reader decodes the file into a 32-bit bitmap.
  bool Reload() override;
  bool HasData() const override { return data_ != nullptr; }

  const std::shared_ptr<const TBitmap32>& Data() const { return data_; }
  void SetData(std::shared_ptr<const TBitmap32> data) { data_ = std::move(data); }

 private:
  std::shared_ptr<const TBitmap32> data_;
};

class TBitmap32Cache : public TFileCache {
 public:
  // Each Add form stores the entry under key (also its file name), valid as validInfo says or
  // always when none is given. Entries already stored under the key stay and are found first.
  //
  // Stores a copy; the caller keeps its bitmap.
  virtual bool AddCopy(const TBitmap32& bitmap, const std::string& key,
                       std::unique_ptr<TCacheItemValidInfo> validInfo = nullptr);
  // Stores the bitmap itself, which nothing may change any more; false for none.
  virtual bool Add(std::shared_ptr<const TBitmap32> bitmap, const std::string& key,
                   std::unique_ptr<TCacheItemValidInfo> validInfo = nullptr);
  // Stores a copy fitted into width × height with the bitmap's proportions; false for an empty
  // bitmap or an empty target size. The flag is not used.
  virtual bool AddScaled(const TBitmap32& bitmap, const std::string& key, int width, int height,
                         bool flag, std::unique_ptr<TCacheItemValidInfo> validInfo = nullptr);
  // A copy of the bitmap stored under key, which the caller owns; none when there is none.
  virtual std::unique_ptr<TBitmap32> GetCopy(const std::string& key);
  // The bitmap stored under key, shared with the cache, and marks it as used; none when there is
  // none.
  virtual std::shared_ptr<const TBitmap32> Get(const std::string& key);

  // The size AddScaled fits a width × height bitmap into within maxWidth × maxHeight: the full
  // target width with the height scaled to it, or when that is too tall the full target height
  // with the width scaled to it; truncated, each at least 1. All four sizes must be positive.
  static void FitSize(int width, int height, int maxWidth, int maxHeight, int& fittedWidth,
                      int& fittedHeight);
};

// The picture of a resolved file name from the program's cache, or else decoded through the file
// access and the picture readers and cached for validityMs after its last use; none when it
// cannot be had. The bitmap is shared with the cache: nothing may change it.
std::shared_ptr<const TBitmap32> CachedOrDecodedBitmap32(const std::string& name,
                                                         uint32_t validityMs);

// The program's bitmap cache (none before CreateBitmap32Cache and after FreeBitmap32Cache).
std::shared_ptr<TBitmap32Cache> Bitmap32Cache();
// Program start: an empty cache without size limit, unless one is installed already.
void CreateBitmap32Cache();
// Program end: the cache goes with all its entries once its last user lets go of it.
void FreeBitmap32Cache();
void SetBitmap32Cache(std::shared_ptr<TBitmap32Cache> cache);

}  // namespace nimbra
