// Writes the photos of the demo album into a folder, which is emptied first: a few landscapes and
// portraits at the top, and two sub-folders that become the album's chapters.
// Run as "MakeDemoPhotos FOLDER".
#include <filesystem>
#include <iostream>

#include "DemoPhotos.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: MakeDemoPhotos FOLDER\n";
    return 2;
  }
  using nimbra::demo::TDemoPhoto;
  const char* const names[] = {"Ankunft.jpg",       "Abendrot.png",     "Sommer/See.jpg",
                               "Sommer/Wiese.jpg",  "Sommer/Hügel.png", "Sommer/Turm.jpg",
                               "Herbst/Wald.jpg",   "Herbst/Nebel.jpg", "Herbst/Laub.png",
                               "Herbst/Heimweg.jpg"};
  const char* const times[] = {"2024:06:01 09:30:00",
                               "",
                               "2024:07:14 11:05:00",
                               "2024:07:15 16:20:00",
                               "",
                               "2024:08:02 10:45:00",
                               "2024:10:03 08:10:00",
                               "2024:10:03 08:40:00",
                               "",
                               "2024:10:20 17:55:00"};
  constexpr int kCount = static_cast<int>(std::size(names));
  std::vector<TDemoPhoto> photos;
  for (int i = 0; i < kCount; ++i) {
    const bool portrait = i % 4 == 3;
    photos.push_back({names[i], times[i], portrait ? 800 : 1200, portrait ? 1200 : 800,
                      nimbra::demo::SignatureColor(i, kCount)});
  }
  try {
    std::filesystem::remove_all(argv[1]);
    nimbra::demo::WriteDemoPhotos(argv[1], photos);
  } catch (const std::exception& error) {
    std::cerr << "MakeDemoPhotos: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
