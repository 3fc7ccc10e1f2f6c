// Whether a slideshow object's photo stands upright, lies on its side or is a panorama, as it is
// shown (EXIF orientation applied): read from its picture file's header, without decoding it.
#pragma once

#include <string>

#include "framework/CustomTree.h"

namespace nimbra {

enum class TPhotoOrientation { Unknown, Portrait, Landscape, Panorama };

// A photo at least this many times as wide as it is high is a panorama.
inline constexpr int kPanoramaProportion = 2;

// Unknown for an item without a picture file, or one whose header cannot be read. A square photo
// counts as lying; one kPanoramaProportion times as wide as high or more is a panorama.
// A name the object cannot resolve is resolved as a picture element resolves it: beside the
// project's file.
TPhotoOrientation OrientationOf(const TRef<ITreeItem>& item, const std::string& projectFileName);

}  // namespace nimbra
