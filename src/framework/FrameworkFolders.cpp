#include "framework/FrameworkFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

#include "framework/ApplicationInfo.h"

namespace nimbra {

namespace fs = std::filesystem;

namespace {

// The folders are read by the render thread too (template pictures are resolved while drawing).
struct TFolders {
  std::mutex Mutex;
  std::string Program;
  std::string UserData;
};

TFolders& Folders() {
  static TFolders folders;
  return folders;
}

std::string EnvironmentFolder(const char* name) {
  const char* value = std::getenv(name);
  // Relative paths in the XDG variables are invalid by the base-directory rules and are ignored.
  return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

// The per-user data base folder, or empty when the user has no home to put it in.
std::string XdgDataHome() {
  std::string folder = EnvironmentFolder("XDG_DATA_HOME");
  if (folder.empty()) {
    const std::string home = HomeFolder();
    if (home.empty()) return {};
    folder = home + "/.local/share";
  }
  return WithTrailingSlash(std::move(folder));
}

std::string ApplicationDataSubFolder() {
  const auto info = SlideShowApplicationInfo();
  if (!info) return {};
  std::string folder = WithForwardSlashes(info->DataFolder());
  // The answer is relative; a leading separator must not put the folder at the file system root.
  folder.erase(0, folder.find_first_not_of('/'));
  return folder.empty() ? folder : WithTrailingSlash(std::move(folder));
}

// The application information has no text for a presets sub-folder of its own (the slots such a
// text could live in answer empty text), so an application's presets are the presets folder itself.
std::string ApplicationPresetsSubFolder() { return {}; }

void CreateFolder(const std::string& folder) {
  std::error_code ignored;
  fs::create_directories(folder, ignored);
}

}  // namespace

std::string WithForwardSlashes(std::string name) {
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

std::string WithTrailingSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  return folder;
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
    return found->pw_dir;
  }
  return {};
}

std::string ExecutableFolder() {
  std::error_code error;
  const fs::path executable = fs::read_symlink("/proc/self/exe", error);
  if (error) return WithTrailingSlash(fs::current_path(error).string());
  return WithTrailingSlash(executable.parent_path().string());
}

std::string ProgramFolder() {
  {
    TFolders& folders = Folders();
    std::lock_guard<std::mutex> lock(folders.Mutex);
    if (!folders.Program.empty()) return folders.Program;
  }
  return ExecutableFolder();
}

void SetProgramFolder(std::string folder) {
  TFolders& folders = Folders();
  std::lock_guard<std::mutex> lock(folders.Mutex);
  folders.Program = WithTrailingSlash(std::move(folder));
}

std::string UserDataFolder(bool create) {
  std::string folder;
  {
    TFolders& folders = Folders();
    std::lock_guard<std::mutex> lock(folders.Mutex);
    folder = folders.UserData;
  }
  if (folder.empty()) {
    const std::string base = XdgDataHome();
    folder =
        base.empty() ? ProgramFolder() + "Anwendungsdaten/" : base + ApplicationDataSubFolder();
  }
  if (create) CreateFolder(folder);
  return folder;
}

void SetUserDataFolder(std::string folder) {
  TFolders& folders = Folders();
  std::lock_guard<std::mutex> lock(folders.Mutex);
  folders.UserData = WithTrailingSlash(std::move(folder));
}

std::string PresetsFolder() { return ProgramFolder() + "Presets/"; }

std::string UserPresetsFolder(bool create) {
  const std::string folder = UserDataFolder(false) + "Presets/";
  if (create) CreateFolder(folder);
  return folder;
}

std::string ApplicationPresetsFolder() {
  return PresetsFolder() + WithTrailingSlash(ApplicationPresetsSubFolder());
}

std::string UserApplicationPresetsFolder(bool create) {
  const std::string folder =
      UserPresetsFolder(false) + WithTrailingSlash(ApplicationPresetsSubFolder());
  if (create) CreateFolder(folder);
  return folder;
}

std::string SoundLibraryPath() { return ProgramFolder() + "Data/" + "fmod.dll"; }

void ClearFrameworkFolders() {
  TFolders& folders = Folders();
  std::lock_guard<std::mutex> lock(folders.Mutex);
  folders.Program.clear();
  folders.UserData.clear();
}

void InitializeFrameworkFolders() {
  const std::string executable = ExecutableFolder();
  TFolders& folders = Folders();
  std::lock_guard<std::mutex> lock(folders.Mutex);
  if (folders.Program.empty()) folders.Program = executable;
}

}  // namespace nimbra
