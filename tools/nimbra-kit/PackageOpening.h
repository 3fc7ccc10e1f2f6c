// Opening what a user hands nimbra-kit as a package: a plain package file or an executable that
// carries one.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "storage/FileAccess.h"
#include "storage/Packager.h"

namespace nimbra::kit {

// Opens the file with the packager; raises ECommandError saying why it is not a package.
void OpenAnyPackage(TPackager& packager, const std::string& fileName);

// A file access that also opens names like "|show.kvt" inside the packages named with --package;
// raises ECommandError for a file that is no package.
std::shared_ptr<TFileAccess> MakeFileAccess(const std::vector<std::string>& packages);

// The process-wide file access for a command's run, gone again however the run ends.
class TFileAccessScope {
 public:
  explicit TFileAccessScope(std::shared_ptr<TFileAccess> access) {
    SetFileAccess(std::move(access));
  }
  ~TFileAccessScope() { SetFileAccess(nullptr); }
  TFileAccessScope(const TFileAccessScope&) = delete;
  TFileAccessScope& operator=(const TFileAccessScope&) = delete;
};

}  // namespace nimbra::kit
