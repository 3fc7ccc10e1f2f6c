// The program-wide start of the album and its end: the application information, the framework,
// every unit's registered classes in the program's order, the picture readers and the shell's
// settings classes, undone in reverse order when the object goes.
#pragma once

namespace nimbra {

class TAlbumStartup {
 public:
  TAlbumStartup();
  ~TAlbumStartup();
  TAlbumStartup(const TAlbumStartup&) = delete;
  TAlbumStartup& operator=(const TAlbumStartup&) = delete;
};

}  // namespace nimbra
