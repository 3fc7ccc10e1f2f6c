#include "framework/ExternalPlugins.h"

#include <sys/stat.h>

#include <charconv>
#include <system_error>
#include <utility>

#include "framework/FieldMap.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TExternalPluginProperties, TProperties)

namespace {

struct TPackageStamp {
  long long Age = 0;
  long long Size = 0;
};

bool StampOf(const std::string& fileName, TPackageStamp& stamp) {
  struct stat info {};
  if (::stat(fileName.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  stamp.Age = static_cast<long long>(info.st_mtim.tv_sec);
  stamp.Size = static_cast<long long>(info.st_size);
  return true;
}

bool ParseNumber(const std::string& text, long long& value) {
  // The whole text must be the number: a stamp with anything else on it describes no package.
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return !text.empty() && error == std::errc() && stop == end;
}

// A line that still describes its package exactly.
bool StillValid(const std::string& line) {
  const size_t firstTab = line.find('\t');
  if (firstTab == std::string::npos) return false;
  const size_t secondTab = line.find('\t', firstTab + 1);
  if (secondTab == std::string::npos) return false;
  TPackageStamp stored;
  if (!ParseNumber(line.substr(firstTab + 1, secondTab - firstTab - 1), stored.Age) ||
      !ParseNumber(line.substr(secondTab + 1), stored.Size)) {
    return false;
  }
  TPackageStamp now;
  return StampOf(line.substr(0, firstTab), now) && now.Age == stored.Age && now.Size == stored.Size;
}

std::unique_ptr<TExternalPluginManager>& ManagerHolder() {
  static std::unique_ptr<TExternalPluginManager> manager;
  return manager;
}

}  // namespace

std::string TExternalPluginProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TProperties::EditorFrameClassNames(),
                                    "TExternalPluginPropertiesEditorFrame");
}

void TExternalPluginProperties::MapFields(TFieldMap& map) {
  TProperties::MapFields(map);
  map.SubChunk([&] {
    map.Text("packages", JoinLines(lines_), [this](std::string text) {
      lines_ = SplitLines(text);
      return true;
    });
  });
}

std::string TExternalPluginManager::PackageLine(const std::string& fileName) {
  TPackageStamp stamp;
  if (!StampOf(fileName, stamp)) return {};
  return fileName + "\t" + std::to_string(stamp.Age) + "\t" + std::to_string(stamp.Size);
}

void TExternalPluginManager::Validate() {
  std::vector<std::string> lines = properties_.Lines();
  for (size_t i = lines.size(); i-- > 0;) {
    if (!StillValid(lines[i])) lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
  }
  properties_.SetLines(std::move(lines));
}

TExternalPluginManager* ExternalPluginManager() {
  return ManagerHolder().get();
}

std::unique_ptr<TExternalPluginManager> SetExternalPluginManager(
    std::unique_ptr<TExternalPluginManager> manager) {
  return std::exchange(ManagerHolder(), std::move(manager));
}

}  // namespace nimbra
