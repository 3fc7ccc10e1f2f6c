// Opens files by name wherever they lie: a name with a vertical bar ("|Oriel.cfg",
// "ALBUM|photo.jpg") is a file inside a registered package, any other name a disk path. One file
// access is installed for the whole process; documents, settings and pictures are all opened
// through it, which is how an album whose photos travel inside its executable works unchanged.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "storage/Packager.h"

namespace nimbra {

class IFileAccess {
 public:
  virtual ~IFileAccess() = default;
  // A stream the caller owns, or none when the name cannot be opened.
  virtual std::unique_ptr<TStream> OpenFile(std::string_view name) = 0;
  virtual bool FileExists(std::string_view name) = 0;
};

// The process-wide file access (none until start-up installs one).
std::shared_ptr<IFileAccess> FileAccess();
void SetFileAccess(std::shared_ptr<IFileAccess> access);

// A registered package; its packager is opened when first needed.
class TPackageListItem {
 public:
  TPackageListItem(std::string path, bool isExecutable);
  TPackageListItem(std::unique_ptr<TPackager> packager, std::string name);
  virtual ~TPackageListItem() = default;

  // True when the packager is open; otherwise tries to open it (again).
  virtual bool Open();
  virtual bool Contains(std::string_view file);
  virtual std::unique_ptr<TStream> OpenEntry(std::string_view file);
  virtual TPackager* Packager();

  // The name a package part is compared with: the upper-cased path or given name.
  const std::string& Name() const { return name_; }
  const std::string& Path() const { return path_; }
  bool IsExecutable() const { return isExecutable_; }

 private:
  std::string name_;
  std::string path_;
  bool isExecutable_ = false;
  std::unique_ptr<TPackager> packager_;
};

class TFileAccess : public IFileAccess {
 public:
  TFileAccess() = default;

  // Registers a package file that exists on disk; false otherwise.
  virtual bool AddPackageFile(const std::string& path, bool isExecutable);
  static bool IsPackageName(std::string_view name);
  // Splits at the first bar; false, with both parts empty, when there is none.
  static bool SplitPackageName(std::string_view name, std::string& package, std::string& file);
  // The first registered package (of the given name, when one is given) that holds the file.
  virtual TPackageListItem* FindPackage(std::string_view file, std::string_view package);

  std::unique_ptr<TStream> OpenFile(std::string_view name) override;
  bool FileExists(std::string_view name) override;

  bool AddPlainPackage(const std::string& path) { return AddPackageFile(path, false); }
  bool AddExecutablePackage(const std::string& path) { return AddPackageFile(path, true); }
  // Registers a packager that is already open; always true.
  bool AddPackager(std::unique_ptr<TPackager> packager, const std::string& name);

  int PackageCount() const { return static_cast<int>(packages_.size()); }

 private:
  std::mutex mutex_;  // guards the list and the lazy opening of its packagers
  std::vector<std::unique_ptr<TPackageListItem>> packages_;
};

}  // namespace nimbra
