#include "templates/PhotoOrientation.h"

#include <cstdint>
#include <memory>
#include <string>

#include "framework/FileNameResolution.h"
#include "raster/PictureFile.h"
#include "slideshow/SlideShowInterfaces.h"
#include "slideshow/SlideShowObject.h"
#include "slideshow/SlideShowTree.h"
#include "storage/FileAccess.h"
#include "storage/NimbraError.h"

namespace nimbra {

TPhotoOrientation OrientationOf(const TRef<ITreeItem>& item, const std::string& projectFileName) {
  const auto* files = dynamic_cast<const IFileReferences*>(SlideShowObjectOf(item));
  const std::shared_ptr<IFileAccess> access = FileAccess();
  if (files == nullptr || !access) return TPhotoOrientation::Unknown;
  std::string name = files->GetFileName();
  if (name.empty()) name = ResolveTemplateFileName(files->GetStoredFileName(), projectFileName);
  if (name.empty()) return TPhotoOrientation::Unknown;
  try {
    const TPictureSize size = ReadShownSize(*access, name);
    if (size.Width <= 0 || size.Height <= 0) return TPhotoOrientation::Unknown;
    if (size.Height > size.Width) return TPhotoOrientation::Portrait;
    if (size.Width >= int64_t{kPanoramaProportion} * size.Height) {
      return TPhotoOrientation::Panorama;
    }
    return TPhotoOrientation::Landscape;
  } catch (const ENimbraError&) {
    // A photo that cannot be read is drawn as missing whichever page it lands on.
    return TPhotoOrientation::Unknown;
  }
}

}  // namespace nimbra
