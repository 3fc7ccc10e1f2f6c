// A picture file opened once: the reader its content or extension chooses reads the header on
// opening and then decodes the pixels from the same stream, with a hint that may follow from the
// header. The picture element, the page backgrounds and the bitmap cache load their pictures so.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "raster/Bitmap32.h"
#include "raster/DecodeHint.h"
#include "raster/PictureReader.h"
#include "raster/PictureSize.h"

namespace nimbra {

class IFileAccess;

class TPictureFile {
 public:
  // Opens the name and reads its header. Raises ECodecError with the reason when the name cannot
  // be opened, no reader knows the file (EFormatNotSupported, see ChoosePictureReader), or the
  // reader refuses the picture before decoding it (as LoadGraphic then would).
  static TPictureFile Open(IFileAccess& access, std::string_view name);

  const TPictureSize& ShownSize() const { return shownSize_; }
  // Once; raises on data the reader cannot decode.
  TBitmap32 Decode(const TDecodeHint& hint) { return reader_->Decode(hint); }

 private:
  TPictureFile() = default;

  std::unique_ptr<TStream> stream_;
  // Reads stream_, so it goes first.
  std::unique_ptr<TPictureReader> reader_;
  TPictureSize shownSize_;
};

// Chooses the decode hint from the size a picture is shown at.
using TDecodeHintFor = std::function<TDecodeHint(const TPictureSize& shownSize)>;

// The picture of a name read through the process-wide file access as a 32-bit bitmap, decoded
// with the hint hintFor chooses (at full size without one); none without a file access, and when
// the picture cannot be opened or decoded, or is empty.
std::unique_ptr<TBitmap32> LoadBitmap32(std::string_view name,
                                        const TDecodeHintFor& hintFor = nullptr);

// The size the picture of a name is shown at, read from its header without decoding pixels;
// raises ECodecError as TPictureFile::Open does.
TPictureSize ReadShownSize(IFileAccess& access, std::string_view name);

}  // namespace nimbra
