#include "elements/DecodedPictures.h"

#include "raster/PictureFile.h"

namespace nimbra {

TDecodedPicture DecodePicture(const TPictureDecodeRequest& request) {
  TDecodedPicture decoded;
  decoded.Picture = LoadBitmap32(request.FileName, [&](const TPictureSize& shown) {
    decoded.Shape = shown;
    return DrawingDecodeHint(shown, request.Drawing);
  });
  if (!decoded.Picture) return {};
  if (decoded.Shape.Width <= 0 || decoded.Shape.Height <= 0) {
    decoded.Shape = {decoded.Picture->Width(), decoded.Picture->Height()};
  }
  return decoded;
}

TDecodedPictures::TDecodedPictures(size_t room) : room_(room > 0 ? room : 1) {}

void TDecodedPictures::Expect(const TPageElement* element) {
  const std::lock_guard<std::mutex> lock(mutex_);
  entries_.push_back({element, false, {}});
}

bool TDecodedPictures::BeginDecode(const TPageElement* element) {
  std::unique_lock<std::mutex> lock(mutex_);
  size_t index = nextToBegin_;
  while (index < entries_.size() && entries_[index].Element != element) ++index;
  if (index == entries_.size()) return false;
  // Room goes to the pictures in the order they are drawn: were a later one to take the last
  // room first, the one the drawing waits for would never get any.
  changed_.wait(lock, [&] {
    return abandoned_ || (index == nextToBegin_ && (alive_ < room_ || index < firstWaiting_));
  });
  if (abandoned_) return false;
  nextToBegin_ = index + 1;
  // A picture whose element has been passed over is not wanted any more.
  const bool wanted = index >= firstWaiting_;
  if (wanted) ++alive_;
  lock.unlock();
  changed_.notify_all();
  return wanted;
}

void TDecodedPictures::Put(const TPageElement* element, TDecodedPicture picture, bool decoded) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (size_t i = 0; i < entries_.size(); ++i) {
      TEntry& entry = entries_[i];
      if (entry.Element != element || entry.Done) continue;
      entry.Done = true;
      // Kept while its element may still take it; otherwise its room is free again.
      if (picture.Picture && i >= firstWaiting_) {
        entry.Picture = std::move(picture);
      } else if (decoded) {
        --alive_;
      }
      break;
    }
  }
  changed_.notify_all();
}

TDecodedPicture TDecodedPictures::Take(const TPageElement* element) {
  std::unique_lock<std::mutex> lock(mutex_);
  size_t index = firstWaiting_;
  while (index < entries_.size() && entries_[index].Element != element) ++index;
  if (index == entries_.size()) return {};
  // Elements are drawn in order: the pictures of those before this one that did not take theirs
  // are not wanted any more, and their room goes to the pictures still to come.
  for (size_t i = firstWaiting_; i < index; ++i) Release(entries_[i]);
  firstWaiting_ = index;
  changed_.notify_all();
  changed_.wait(lock, [&] { return entries_[index].Done || abandoned_; });
  TDecodedPicture picture = std::move(entries_[index].Picture);
  if (picture.Picture) --alive_;
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
  if (entry.Picture.Picture) {
    entry.Picture = {};
    --alive_;
  }
}

}  // namespace nimbra
