#include "KitMakePhotos.h"

#include <algorithm>
#include <cstdio>

namespace nimbra::test {

namespace {

std::string Folder(int index, int count) {
  if (index < count / 3) return "";
  return index < 2 * count / 3 ? "Berge/" : "Meer/";
}

}  // namespace

std::vector<demo::TDemoPhoto> WriteMixedPhotos(const std::string& folder, int count) {
  std::vector<demo::TDemoPhoto> photos;
  for (int i = 0; i < count; ++i) {
    const bool png = i % 5 == 4;
    const bool portrait = i % 3 == 1;
    char name[32];
    std::snprintf(name, sizeof name, "foto%02d.%s", i, png ? "png" : "jpg");
    char time[32];
    std::snprintf(time, sizeof time, "2023:%02d:%02d 12:00:00", 1 + i / 28, 1 + i % 28);
    photos.push_back({Folder(i, count) + name, png ? "" : time, portrait ? 160 : 240,
                      portrait ? 240 : 160, demo::SignatureColor(i, count)});
  }
  demo::WriteDemoPhotos(folder, photos);
  // Within a folder, dated photos first by time, then undated ones by name; folders follow the
  // photos at the top, in the order of their first photo.
  auto folderOf = [](const demo::TDemoPhoto& photo) {
    const size_t slash = photo.RelativePath.find('/');
    return slash == std::string::npos ? std::string() : photo.RelativePath.substr(0, slash);
  };
  std::stable_sort(photos.begin(), photos.end(), [&](const auto& a, const auto& b) {
    if (folderOf(a) != folderOf(b)) return folderOf(a) < folderOf(b);
    if (a.DateTime.empty() != b.DateTime.empty()) return !a.DateTime.empty();
    return a.DateTime != b.DateTime ? a.DateTime < b.DateTime : a.RelativePath < b.RelativePath;
  });
  return photos;
}

std::vector<std::string> ObjectPaths(const std::vector<demo::TDemoPhoto>& photos) {
  std::vector<std::string> paths;
  int top = 0;
  int chapter = 0;
  int inChapter = 0;
  std::string current;
  for (const demo::TDemoPhoto& photo : photos) {
    const size_t slash = photo.RelativePath.find('/');
    if (slash == std::string::npos) {
      paths.push_back(std::to_string(++top));
      continue;
    }
    const std::string folder = photo.RelativePath.substr(0, slash);
    if (folder != current) {
      current = folder;
      ++chapter;
      inChapter = 0;
    }
    paths.push_back(std::to_string(top + chapter) + "." + std::to_string(++inChapter));
  }
  return paths;
}

}  // namespace nimbra::test
