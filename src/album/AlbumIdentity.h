// Which album this is, for everything the album keeps per album on a machine: its settings and
// remembered page, its autostart entry, its single-instance lock and its name on the session bus.
// On Linux every album is the same program, so the product's own name cannot tell them apart.
//
// An album program is known by its package: the names, sizes and places of the files it carries
// and the bytes of its settings file. Moving or renaming the program keeps its state; an album
// built anew from other photos or with other settings is a new album and starts as it was built.
// An album of -p and -t is known by the full paths of its two documents.
#pragma once

#include <string>
#include <string_view>

namespace nimbra {

class TPackager;

struct TAlbumIdentity {
  // For people: the album program's file name, or the slideshow's file name without extension.
  std::string Name;
  // Sixteen lower-case hexadecimal digits, the same for the same album on every run.
  std::string Key;
  // Where the album came from: the album program, or the slideshow document.
  std::string Source;

  bool Empty() const { return Key.empty(); }
};

// The identity of the album program at executablePath whose package the packager holds open.
TAlbumIdentity PackagedAlbumIdentity(const std::string& executablePath, TPackager& packager);
// The identity of an album of two documents on disk (full paths).
TAlbumIdentity DocumentsAlbumIdentity(const std::string& slideShowPath,
                                      const std::string& templatePath);

// The album's own key in the per-user settings store: "Alben\<key>\" below the product key.
std::string AlbumStoreKey(std::string_view productKey, const TAlbumIdentity& album);

}  // namespace nimbra
