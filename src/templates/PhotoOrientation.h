// Whether a slideshow object's photo stands upright or lies on its side, as it is shown (EXIF
// orientation applied): read from its picture file's header, without decoding it.
#pragma once

#include "framework/CustomTree.h"

namespace nimbra {

enum class TPhotoOrientation { Unknown, Portrait, Landscape };

// Unknown for an item without a picture file, or one whose header cannot be read. A square photo
// counts as lying.
TPhotoOrientation OrientationOf(const TRef<ITreeItem>& item);

}  // namespace nimbra
