#include "storage/FileList.h"

#include "storage/FileMask.h"
#include "storage/TextCase.h"

namespace nimbra {

std::string_view FileNamePart(std::string_view name) {
  const size_t separator = name.find_last_of("\\/");
  return separator == std::string_view::npos ? name : name.substr(separator + 1);
}

TPackageFileListItem* TFileList::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<size_t>(index)];
}

void TFileList::Add(std::unique_ptr<TPackageFileListItem> item) {
  Index(item.get());
  items_.push_back(item.get());
  owned_.push_back(std::move(item));
}

void TFileList::AddReference(TPackageFileListItem* item) {
  Index(item);
  items_.push_back(item);
}

void TFileList::Index(TPackageFileListItem* item) {
  // Lower-cased code point by code point: names equal in SameText fold alike, and no others.
  byName_.try_emplace(LowerCase(item->FileName), item);
}

void TFileList::Clear() {
  items_.clear();
  owned_.clear();
  byName_.clear();
}

TPackageFileListItem* TFileList::FindByName(std::string_view name) const {
  const auto found = byName_.find(LowerCase(name));
  return found != byName_.end() ? found->second : nullptr;
}

std::unique_ptr<TFileList> TFileList::Filter(std::string_view masks) const {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= masks.size()) {
    size_t end = masks.find('\n', start);
    if (end == std::string_view::npos) end = masks.size();
    std::string_view line = masks.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) lines.emplace_back(line);
    start = end + 1;
  }
  return FilterList(lines);
}

std::unique_ptr<TFileList> TFileList::FilterList(const std::vector<std::string>& masks) const {
  std::vector<TFileMask> compiled(masks.begin(), masks.end());
  auto result = std::make_unique<TFileList>();
  for (TPackageFileListItem* item : items_) {
    const std::string_view name = FileNamePart(item->FileName);
    for (const TFileMask& mask : compiled) {
      if (mask.Matches(name)) {
        result->AddReference(item);
        break;
      }
    }
  }
  return result;
}

TPackageFileListItem* TFileList::FirstMatch(std::string_view mask) const {
  const TFileMask compiled(mask);
  for (TPackageFileListItem* item : items_) {
    if (compiled.Matches(FileNamePart(item->FileName))) return item;
  }
  return nullptr;
}

}  // namespace nimbra
