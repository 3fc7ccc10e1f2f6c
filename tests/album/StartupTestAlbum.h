// Albums for the start-up tests: solid-colour photos, a slideshow of picture objects naming them,
// a project whose one template shows the next picture over the whole page until the slideshow
// ends, the settings file, and packages holding them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raster/Bitmap32.h"

namespace nimbra::test {

// The colours of the test photos, one per page.
inline const std::vector<TColor32> kStartupPhotoColours = {0xFFC01020, 0xFF10A040, 0xFF2040D0};

// Writes "photoN.png" (N from 1) into the folder, 64 × 36 pixels each, and yields their paths.
std::vector<std::string> WriteStartupPhotos(const std::string& folder);
// A slideshow of picture objects naming the files as given (package names such as "|photo1.png").
void WriteStartupShow(const std::string& path, const std::vector<std::string>& pictureNames);
// The project: one template with a black background and one picture element over the whole
// page that takes the next slideshow picture, repeated until the slideshow ends.
void WriteStartupProject(const std::string& path);
// The album's settings file (the stored form of "Oriel.cfg").
void WriteStartupSettings(const std::string& path, int32_t interval, uint8_t changeMode,
                          int32_t page);
// A plain package of the files, each stored under its file-name part.
void WriteStartupPackage(const std::string& path, const std::vector<std::string>& files);

// A stand-in for the album's executable (a few bytes) with a package of the files appended.
void WriteStartupExecutable(const std::string& path, const std::vector<std::string>& files);
// The colour at the centre of a picture file.
TColor32 CentreColour(const std::string& pictureFile);

// The album's own key in the user's settings store: of an album program, or of an album of two
// documents (full paths). Needs the application information installed.
std::string StartupAlbumSettingsKey(const std::string& program);
std::string StartupAlbumSettingsKey(const std::string& show, const std::string& project);

// The show, project, photos and settings of a whole album in the folder, with the package names
// the packaged album uses; yields the files to pack.
std::vector<std::string> WriteStartupAlbumFiles(const std::string& folder, uint8_t changeMode);

}  // namespace nimbra::test
