// A private folder for one test's files, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <string>

namespace nimbra::test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The path of a file in the folder.
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  // Writes bytes into a file of the folder and yields its path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  static std::string Read(const std::string& path);

 private:
  std::filesystem::path path_;
};

}  // namespace nimbra::test
