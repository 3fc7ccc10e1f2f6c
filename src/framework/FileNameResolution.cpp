#include "framework/FileNameResolution.h"

#include <filesystem>
#include <optional>
#include <set>
#include <vector>

#include "framework/FrameworkFolders.h"
#include "storage/TextCase.h"

namespace nimbra {

namespace fs = std::filesystem;

namespace {

// A stored name taken apart: the drive it may start with, the rest with "/" separators, and the
// file-name part.
struct TStoredName {
  std::string Drive;
  std::string Path;
  std::string FilePart;
};

TStoredName ParseStoredName(const std::string& name) {
  TStoredName stored;
  std::string path = WithForwardSlashes(name);
  const bool letter = !path.empty() && ((path[0] >= 'A' && path[0] <= 'Z') ||
                                        (path[0] >= 'a' && path[0] <= 'z'));
  if (letter && path.size() >= 2 && path[1] == ':') {
    stored.Drive = path.substr(0, 2);
    path.erase(0, 2);
  }
  const size_t slash = path.rfind('/');
  stored.FilePart = slash == std::string::npos ? path : path.substr(slash + 1);
  stored.Path = std::move(path);
  return stored;
}

// The folder of a file name, with its trailing "/"; empty when the name has none.
std::string FolderOf(const std::string& fileName) {
  const std::string name = WithForwardSlashes(fileName);
  const size_t slash = name.rfind('/');
  return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

std::string WithoutLeadingSlashes(const std::string& path) {
  const size_t first = path.find_first_not_of('/');
  return first == std::string::npos ? std::string() : path.substr(first);
}

// Relative names were relative to the program folder when the documents were made.
fs::path Absolute(const std::string& path) {
  const fs::path full = path.starts_with('/') ? fs::path(path) : fs::path(ProgramFolder() + path);
  return full.lexically_normal();
}

// The candidates of one pass, in the order they are tried. On Linux every absolute folder shares
// the one root, which stands for the search folder's drive root; a stored drive means nothing
// here, so it is dropped where the name is taken relative to that root, and a drive-led name is
// no candidate on its own.
std::vector<std::string> Candidates(const TStoredName& name, const std::string& searchFolder) {
  const std::string root = searchFolder.starts_with('/') ? "/" : "";
  std::vector<std::string> candidates;
  // 1. the name itself, 2. search folder + name
  if (name.Drive.empty()) {
    candidates.push_back(name.Path);
    candidates.push_back(searchFolder + name.Path);
  }
  // 3. search folder + file part
  candidates.push_back(searchFolder + name.FilePart);
  // 4. the root + the name relative to the root
  candidates.push_back(root + WithoutLeadingSlashes(name.Path));
  // 5. the root + file part
  candidates.push_back(root + name.FilePart);
  // 6. the root + the name without drive and leading separators (4 again, with a single root)
  candidates.push_back(root + WithoutLeadingSlashes(name.Path));
  return candidates;
}

// The file at the path, or else the one file in the same folder whose name differs only in
// letter case (the first by byte order, should several do).
std::optional<std::string> ExistingFile(const fs::path& path) {
  std::error_code error;
  if (fs::is_regular_file(path, error)) return path.string();
  const std::string wanted = path.filename().string();
  if (wanted.empty()) return std::nullopt;
  std::optional<std::string> found;
  for (const auto& entry : fs::directory_iterator(path.parent_path(), error)) {
    const std::string name = entry.path().filename().string();
    if (!SameText(name, wanted) || !entry.is_regular_file(error)) continue;
    if (!found || entry.path().string() < *found) found = entry.path().string();
  }
  return found;
}

}  // namespace

std::string ResolveFileName(const std::string& name, const std::string& base) {
  // 1. nothing to find
  if (name.empty()) return {};
  // 2. not a file on disk
  if (name.front() == '?') return name;
  // 4. a name must end in a file
  const TStoredName stored = ParseStoredName(name);
  if (stored.FilePart.empty()) return {};
  // 5. beside the base document, then in the program folder
  std::set<std::string> tried;
  for (const std::string& searchFolder : {FolderOf(base), ProgramFolder()}) {
    for (const std::string& candidate : Candidates(stored, searchFolder)) {
      const fs::path path = Absolute(candidate);
      if (!tried.insert(path.string()).second) continue;
      if (auto found = ExistingFile(path)) return *found;
    }
  }
  // 6. found nowhere
  return {};
}

std::string ResolveTemplateFileName(const std::string& name, const std::string& base) {
  // 1. a file inside a package
  if (name.find('|') != std::string::npos) return name;
  // 2. the base, then the places presets keep their pictures
  const std::string presets = ApplicationPresetsFolder();
  const std::string bases[] = {base,
                               presets + "Images/",
                               presets + "Images/" + "Background/",
                               presets + "Images/" + "Effects/",
                               presets + "Images/" + "Border/",
                               presets};
  for (const std::string& folder : bases) {
    std::string resolved = ResolveFileName(name, folder);
    if (!resolved.empty()) return resolved;
  }
  // Last the user's own presets, whose folder is made when it is first looked into.
  return ResolveFileName(name, UserApplicationPresetsFolder(true));
}

}  // namespace nimbra
