#include "app/AlbumStartup.h"

#include "app/ShellRegistration.h"

namespace nimbra {

TAlbumStartup::TAlbumStartup() { ShellStartup(); }

// The shell goes before the units it was registered on.
TAlbumStartup::~TAlbumStartup() { ShellShutdown(); }

}  // namespace nimbra
