#include "elements/DecodedPictures.h"

#include "raster/PictureFile.h"

namespace nimbra {

std::unique_ptr<TBitmap32> DecodePicture(const TPictureDecodeRequest& request) {
  return LoadBitmap32(request.FileName, [&](const TPictureSize& shown) {
    return DrawingDecodeHint(shown, request.Drawing);
  });
}

TDecodedPictures::TDecodedPictures(size_t room) : room_(room > 0 ? room : 1) {}

void TDecodedPictures::Expect(const TPageElement* element) {
  const std::lock_guard<std::mutex> lock(mutex_);
  entries_.push_back({element, false, nullptr});
}

bool TDecodedPictures::BeginDecode() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return abandoned_ || alive_ < room_; });
  if (abandoned_) return false;
  ++alive_;
  return true;
}

void TDecodedPictures::Put(const TPageElement* element, std::unique_ptr<TBitmap32> picture,
                           bool decoded) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (size_t i = 0; i < entries_.size(); ++i) {
      TEntry& entry = entries_[i];
      if (entry.Element != element || entry.Done) continue;
      entry.Done = true;
      // Kept while its element may still take it; otherwise its room is free again.
      if (picture && i >= firstWaiting_) {
        entry.Picture = std::move(picture);
      } else if (decoded) {
        --alive_;
      }
      break;
    }
  }
  changed_.notify_all();
}

std::unique_ptr<TBitmap32> TDecodedPictures::Take(const TPageElement* element) {
  std::unique_lock<std::mutex> lock(mutex_);
  size_t index = firstWaiting_;
  while (index < entries_.size() && entries_[index].Element != element) ++index;
  if (index == entries_.size()) return nullptr;
  // Elements are drawn in order: the pictures of those before this one that did not take theirs
  // are not wanted any more, and their room goes to the pictures still to come.
  for (size_t i = firstWaiting_; i < index; ++i) Release(entries_[i]);
  firstWaiting_ = index;
  changed_.notify_all();
  changed_.wait(lock, [&] { return entries_[index].Done || abandoned_; });
  std::unique_ptr<TBitmap32> picture = std::move(entries_[index].Picture);
  if (picture) --alive_;
  firstWaiting_ = index + 1;
  lock.unlock();
  changed_.notify_all();
  return picture;
}

void TDecodedPictures::Abandon() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    abandoned_ = true;
  }
  changed_.notify_all();
}

void TDecodedPictures::Release(TEntry& entry) {
  if (entry.Picture) {
    entry.Picture.reset();
    --alive_;
  }
}

}  // namespace nimbra
