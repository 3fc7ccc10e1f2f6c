// A file access that knows one file, such as the album's settings "|Oriel.cfg" in its package.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "storage/FileAccess.h"
#include "storage/MemoryStream.h"

namespace nimbra::test {

class TOneFileAccess : public IFileAccess {
 public:
  TOneFileAccess(std::string name, std::string bytes)
      : name_(std::move(name)), bytes_(std::move(bytes)) {}
  std::unique_ptr<TStream> OpenFile(std::string_view name) override {
    if (name != name_) return nullptr;
    return std::make_unique<TMemoryStream>(bytes_);
  }
  bool FileExists(std::string_view name) override { return name == name_; }

 private:
  std::string name_;
  std::string bytes_;
};

}  // namespace nimbra::test
