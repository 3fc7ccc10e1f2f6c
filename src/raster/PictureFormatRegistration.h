// The raster library's picture readers by file extension: registering them with the list of
// picture formats that LoadGraphic uses, and loading a picture with a decode hint.
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "raster/Bitmap32Graphic.h"
#include "raster/DecodeHint.h"

namespace nimbra {

class IFileAccess;

struct TPictureReaderInfo {
  std::string_view Extension;    // lower case, without the dot
  std::string_view Description;  // shown to users, German like every display text
  std::unique_ptr<TBitmap32Graphic> (*Create)();
};

// Every reader of the library, one entry per extension, in registration order.
std::span<const TPictureReaderInfo> PictureReaders();

// Program start: registers every reader of PictureReaders() for its extension; a later call
// registers them again. UnregisterPictureFormats removes those extensions.
void RegisterPictureFormats();
void UnregisterPictureFormats();

// A new reader for an extension (any case, without the dot); none when the library has none.
std::unique_ptr<TBitmap32Graphic> CreatePictureReader(std::string_view extension);

// LoadGraphic with a decode hint: the picture of a name, or none when the name cannot be opened,
// no reader is registered for its extension, or decoding fails. A registered extension that this
// library has a reader for is decoded by that reader with the hint (the list of picture formats
// cannot tell whether someone replaced it there); other extensions go to the plain LoadGraphic
// and are decoded at full size.
std::unique_ptr<TGraphic> LoadGraphic(IFileAccess& access, std::string_view name,
                                      const TDecodeHint& hint);

// The size the picture of a name is shown at, read from its header by the reader of its
// extension without decoding pixels. Raises ECodecError with the reason when the name cannot be
// opened, this library has no registered reader for its extension, or the reader refuses the
// picture before decoding it (as LoadGraphic then would).
TPictureSize ReadShownSize(IFileAccess& access, std::string_view name);

}  // namespace nimbra
