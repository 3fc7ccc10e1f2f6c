// The directory of a package: its file records in package order. The packager's own list owns its
// records; lists made by filtering point into it and own nothing.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "storage/PackageFileListItem.h"

namespace nimbra {

class TFileList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TPackageFileListItem* Items(int index) const;
  // Appends a record the list takes over.
  void Add(std::unique_ptr<TPackageFileListItem> item);
  // Appends a record someone else owns and that outlives the list (filtered lists).
  void AddReference(TPackageFileListItem* item);
  void Clear();

  // The first record whose whole stored name equals name without regard to case; found through an
  // index, as an album looks up every photo of its ten thousands by name.
  TPackageFileListItem* FindByName(std::string_view name) const;
  // Records whose file-name part matches any mask; masks one per line.
  std::unique_ptr<TFileList> Filter(std::string_view masks) const;
  std::unique_ptr<TFileList> FilterList(const std::vector<std::string>& masks) const;
  // The first record, in package order, whose file-name part matches the mask; none without.
  TPackageFileListItem* FirstMatch(std::string_view mask) const;
  TPackageFileListItem* First() const { return items_.empty() ? nullptr : items_.front(); }
  TPackageFileListItem* Last() const { return items_.empty() ? nullptr : items_.back(); }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  void Index(TPackageFileListItem* item);

  std::vector<TPackageFileListItem*> items_;
  std::vector<std::unique_ptr<TPackageFileListItem>> owned_;
  // Names folded as SameText compares them, to the first record of each.
  std::unordered_map<std::string, TPackageFileListItem*> byName_;
};

// The part of a stored name behind its last folder separator ("\" or "/").
std::string_view FileNamePart(std::string_view name);

}  // namespace nimbra
