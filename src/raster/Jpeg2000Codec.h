// The JPEG 2000 reader (OpenJPEG): JP2 files and bare J2K code streams, recognised by their
// first bytes whatever the extension says. It works whether or not a vendor library is loaded.
// Resolution levels the decode hint does not need are left out. A picture that would take more
// memory or time than the reader's budgets at the resolution the hint asks for is decoded at a
// lower one within them (then smaller than the hint), and refused when even its lowest one is
// too large.
#pragma once

#include <memory>

#include "raster/PictureReader.h"

namespace nimbra {

std::unique_ptr<TPictureReader> OpenJpeg2000Reader(TStream& stream);

}  // namespace nimbra
