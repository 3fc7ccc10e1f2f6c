// What `nimbra` says when it is started without any album: no package behind it and neither -p
// nor -t (the application menu's entry, or a first try from a terminal). Instead of the two
// messages for missing switches, one short German text that says what Nimbra is and how to make
// and run an album with nimbra-kit.
#pragma once

#include <string>

namespace nimbra {

// The text. Where the documentation is installed beside the program (PREFIX/share/doc/nimbra for
// PREFIX/bin/nimbra), it names the README there.
std::string NoAlbumMessage(const std::string& ownExecutable);

}  // namespace nimbra
