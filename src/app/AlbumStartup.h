// The program-wide start of the album and its end: the programs' units up to the picture readers,
// then the shell's settings classes and editors, undone in reverse order when the object goes.
#pragma once

#include "album/ProgramStartup.h"

namespace nimbra {

class TAlbumStartup {
 public:
  TAlbumStartup();
  ~TAlbumStartup();
  TAlbumStartup(const TAlbumStartup&) = delete;
  TAlbumStartup& operator=(const TAlbumStartup&) = delete;

 private:
  TProgramStartup units_{TStartupStage::Rendering};
};

}  // namespace nimbra
