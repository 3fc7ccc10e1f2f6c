// The wallpaper's picture files in their folder. Desktops that cache by file name get two names in
// turn ("… Hintergrundbild.bmp", "… Hintergrundbild (2).bmp"), the one not on show being written;
// the others always get the first. Files of ours that are neither on show nor just written are
// removed once the desktop has switched, never before.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/WallpaperBackend.h"
#include "raster/Bitmap32.h"

namespace nimbra {

class TWallpaperFiles {
 public:
  // baseName without extension, e.g. "Velmora Nimbra Hintergrundbild".
  TWallpaperFiles(std::string folder, std::string baseName);

  // Creates the folder, picks this change's name and writes the files the backend needs; raises
  // EWallpaperError or a stream error when the folder or a file cannot be written. With several
  // screens and a backend that takes a picture per screen, each screen's part is written as well,
  // named after the screen ("… Hintergrundbild HDMI-1.bmp").
  TWallpaperPicture Write(const TBitmap32& page, const TWallpaperNeeds& needs,
                          const std::vector<TWallpaperScreen>& screens = {});
  // Called after the desktop took the picture that Write returned.
  void Switched(const TWallpaperPicture& picture);
  // Removes the half-written files of changes that were killed before they finished. Only while
  // nobody else writes the wallpaper: at the album's start, once it knows it runs alone.
  void RemoveLeftovers() const;

  // The file of a slot (0 or 1) with an extension such as ".bmp"; of one screen's part when a
  // screen's label is given.
  std::string FileName(int slot, const std::string& extension,
                       const std::string& screen = {}) const;
  const std::string& Folder() const { return folder_; }

 private:
  int ChooseSlot(const TWallpaperNeeds& needs) const;
  int SlotOf(const std::string& bitmapFile) const;

  std::string folder_;
  std::string baseName_;
  std::optional<int> shownSlot_;  // known once a change succeeded in this process
  std::vector<std::string> shownFiles_;
  // Every screen's file this process wrote, so that those of screens gone are removed too.
  std::vector<std::string> screenFiles_;
};

}  // namespace nimbra
