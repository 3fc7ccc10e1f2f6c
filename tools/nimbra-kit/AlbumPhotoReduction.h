// Photos larger than any screen, reduced once as they go into an album: an album of camera photos
// stays a fraction of their size, and the album decodes less at every change without showing less.
#pragma once

#include <string>

#include "raster/PictureSize.h"

namespace nimbra::kit {

// JPEG quality of reduced photos: high enough that the reduction is the only change one sees.
inline constexpr int kReducedPhotoQuality = 92;

// The size shown fitted into the box with its proportions kept (each side at least 1); the size
// itself when it fits already.
TPictureSize FittedPhotoSize(const TPictureSize& shown, const TPictureSize& box);

// What an album packs for one photo: a file on disk and the name its package stores it under.
struct TPackedPhoto {
  std::string Path;
  std::string FileName;
  bool Reduced = false;
};

// The photo at path (named fileName) as the album packs it. A photo whose shown size fits the box
// is packed as it is. A larger one is decoded, reduced to fit with a Lanczos filter and written
// to reducedPath: a JPEG as JPEG under its own name, with its EXIF and IPTC segments as they were
// and its pixels turned back to how the camera stored them, so that its EXIF orientation still
// applies; a picture with transparency as PNG, any other as JPEG, each under its name with the
// extension of what it became. Raises ECodecError or EWriteError when the photo cannot be read or
// the reduced one written.
TPackedPhoto PackedPhoto(const std::string& path, const std::string& fileName,
                         const TPictureSize& box, const std::string& reducedPath);

// Reduces the photos of one album into a private folder of the temporary folder, which goes with
// the reducer, once the album has been packed.
class TPhotoReducer {
 public:
  // Raises ECodecError when the folder cannot be made.
  explicit TPhotoReducer(const TPictureSize& box);
  ~TPhotoReducer();
  TPhotoReducer(const TPhotoReducer&) = delete;
  TPhotoReducer& operator=(const TPhotoReducer&) = delete;

  // PackedPhoto with a fresh file of the folder.
  TPackedPhoto Pack(const std::string& path, const std::string& fileName);

 private:
  TPictureSize box_;
  std::string folder_;
  int written_ = 0;
};

}  // namespace nimbra::kit
