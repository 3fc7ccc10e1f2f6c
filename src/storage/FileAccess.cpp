#include "storage/FileAccess.h"

#include <sys/stat.h>


#include "storage/FalseOnFailure.h"
#include "storage/FileStream.h"
#include "storage/GlobalHolder.h"
#include "storage/TextCase.h"

namespace nimbra {

namespace {

TGlobalHolder<IFileAccess>& Global() {
  static TGlobalHolder<IFileAccess> holder;
  return holder;
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::shared_ptr<IFileAccess> FileAccess() { return Global().Get(); }

void SetFileAccess(std::shared_ptr<IFileAccess> access) { Global().Set(std::move(access)); }

// ---- TPackageListItem ----

// Linux paths are case-sensitive: the upper-cased name is only for matching, the path as given is
// what gets opened.
TPackageListItem::TPackageListItem(std::string path, bool isExecutable)
    : name_(UpperCase(path)), path_(std::move(path)), isExecutable_(isExecutable) {}

TPackageListItem::TPackageListItem(std::unique_ptr<TPackager> packager, std::string name)
    : name_(UpperCase(name)),
      path_(std::move(name)),
      isExecutable_(packager->State() == PackagerState::OpenedExecutable),
      packager_(std::move(packager)) {}

bool TPackageListItem::Open() {
  if (packager_) return true;
  auto packager = std::make_unique<TPackager>();
  const bool opened =
      isExecutable_ ? packager->OpenExecutable(path_) : packager->OpenPackageFile(path_);
  if (!opened) return false;
  packager_ = std::move(packager);
  return true;
}

bool TPackageListItem::Contains(std::string_view file) {
  return Open() && packager_->Directory().FindByName(file) != nullptr;
}

std::unique_ptr<TStream> TPackageListItem::OpenEntry(std::string_view file) {
  if (!Open()) return nullptr;
  return packager_->OpenEntry(file);
}

TPackager* TPackageListItem::Packager() { return Open() ? packager_.get() : nullptr; }

// ---- TFileAccess ----

bool TFileAccess::AddPackageFile(const std::string& path, bool isExecutable) {
  if (!FileExists(path)) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  packages_.push_back(std::make_unique<TPackageListItem>(path, isExecutable));
  return true;
}

bool TFileAccess::AddPackager(std::unique_ptr<TPackager> packager, const std::string& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  packages_.push_back(std::make_unique<TPackageListItem>(std::move(packager), name));
  return true;
}

bool TFileAccess::IsPackageName(std::string_view name) {
  return name.find('|') != std::string_view::npos;
}

bool TFileAccess::SplitPackageName(std::string_view name, std::string& package,
                                   std::string& file) {
  const size_t bar = name.find('|');
  if (bar == std::string_view::npos) {
    package.clear();
    file.clear();
    return false;
  }
  package = name.substr(0, bar);
  file = name.substr(bar + 1);
  return true;
}

TPackageListItem* TFileAccess::FindPackage(std::string_view file, std::string_view package) {
  const std::string wanted = UpperCase(package);
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& entry : packages_) {
    if (!wanted.empty() && entry->Name() != wanted) continue;
    if (entry->Contains(file)) return entry.get();
    // A named package is the only one asked.
    if (!wanted.empty()) return nullptr;
  }
  return nullptr;
}

bool TFileAccess::FileExists(std::string_view name) {
  std::string package;
  std::string file;
  if (SplitPackageName(name, package, file)) return FindPackage(file, package) != nullptr;
  return IsRegularFile(std::string(name));
}

std::unique_ptr<TStream> TFileAccess::OpenFile(std::string_view name) {
  std::string package;
  std::string file;
  if (SplitPackageName(name, package, file)) {
    TPackageListItem* entry = FindPackage(file, package);
    return entry != nullptr ? entry->OpenEntry(file) : nullptr;
  }
  const std::string path(name);
  if (!IsRegularFile(path)) return nullptr;
  return ResultOnFailure<std::unique_ptr<TStream>>(
      nullptr, [&] { return std::make_unique<TFileStream>(path, FileMode::OpenRead); });
}

}  // namespace nimbra
