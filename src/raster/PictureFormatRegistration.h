// The raster library's picture readers by file extension, and their registration with the list of
// picture formats that LoadGraphic and TPictureFile use.
#pragma once

#include <span>
#include <string_view>

#include "raster/PictureFormats.h"
#include "raster/PictureReader.h"

namespace nimbra {

struct TPictureReaderInfo {
  std::string_view Extension;    // lower case, without the dot
  std::string_view Description;  // shown to users, German like every display text
  TPictureReaderOpener Open;
  TPictureSignatureTest Signature;  // none for formats known by their extension alone
};

// Every reader of the library, one entry per extension, in registration order.
std::span<const TPictureReaderInfo> PictureReaders();

// Program start: registers every reader of PictureReaders() for its extension and its signature
// (files are read by what they are, whatever their name says); a later call
// registers them again. UnregisterPictureFormats removes those extensions.
void RegisterPictureFormats();
void UnregisterPictureFormats();

}  // namespace nimbra
