// The root window's picture as terminals and panels find it (_XROOTPMAP_ID), read on a connection
// of its own. Kept apart from the Qt tests because Xlib's macros clash with Qt's headers.
#pragma once

#include <optional>
#include <string>

namespace nimbra::test {

// One pixel of that picture as 0xRRGGBB, or nothing when the root window names no picture.
std::optional<unsigned long> RootPicturePixel(const std::string& displayName, int x, int y);

}  // namespace nimbra::test
