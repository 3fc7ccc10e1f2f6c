#include "elements/DecodedPictures.h"

#include "raster/PictureFile.h"

namespace nimbra {

std::unique_ptr<TBitmap32> DecodePicture(const TPictureDecodeRequest& request) {
  return LoadBitmap32(request.FileName, [&](const TPictureSize& shown) {
    return DrawingDecodeHint(shown, request.Drawing);
  });
}

void TDecodedPictures::Put(const TPageElement* element, std::unique_ptr<TBitmap32> picture) {
  const std::lock_guard<std::mutex> lock(mutex_);
  pictures_[element] = std::move(picture);
}

std::unique_ptr<TBitmap32> TDecodedPictures::Take(const TPageElement* element) {
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto found = pictures_.find(element);
  if (found == pictures_.end()) return nullptr;
  std::unique_ptr<TBitmap32> picture = std::move(found->second);
  pictures_.erase(found);
  return picture;
}

}  // namespace nimbra
