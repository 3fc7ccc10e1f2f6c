// The file:// URI of an absolute path, as GSettings and Plasma want it: every byte that is not an
// unreserved URI character or a slash is percent-encoded, so quotes, spaces, backslashes and
// non-ASCII names survive any consumer's URI parser.
#pragma once

#include <string>

namespace nimbra {

// Raises EWallpaperError for a relative path.
std::string FileUri(const std::string& absolutePath);

}  // namespace nimbra
