// A list of settings bags that finds its bags by class and stores them as a group: in a file of
// their own (a chunked stream of file type 1287, one chunk per bag) or in a key of the settings
// store (one binary value per bag, named by its class).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Properties.h"

namespace nimbra {

class TCSFStream;
class TKeyValueStore;

inline constexpr int32_t kPropertiesListChunkId = 257;
inline constexpr int32_t kPropertiesListFileType = 1287;
inline constexpr int32_t kPropertiesListFileVersion = 256;

// One bag of a list: the class it was registered for, the bag, its caption, and whether the list
// owns the bag.
class TPropertiesListItem {
 public:
  // An entry that owns its bag.
  TPropertiesListItem(const TMetaClass& ownerClass, std::unique_ptr<TProperties> bag,
                      std::string caption);
  // An entry for a bag someone else owns and keeps alive as long as the entry.
  TPropertiesListItem(const TMetaClass& ownerClass, TProperties& bag, std::string caption);
  ~TPropertiesListItem();
  TPropertiesListItem(const TPropertiesListItem&) = delete;
  TPropertiesListItem& operator=(const TPropertiesListItem&) = delete;

  const TMetaClass& OwnerClass() const { return *ownerClass_; }
  TProperties& Properties() const { return *bag_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption) { caption_ = std::move(caption); }
  bool OwnsProperties() const { return owned_ != nullptr; }

 private:
  const TMetaClass* ownerClass_;
  TProperties* bag_;
  std::string caption_;
  std::unique_ptr<TProperties> owned_;
};

class TPropertiesList {
 public:
  TPropertiesList();
  virtual ~TPropertiesList();
  TPropertiesList(const TPropertiesList&) = delete;
  TPropertiesList& operator=(const TPropertiesList&) = delete;

  // The first entry whose bag is exactly of this class.
  virtual TPropertiesListItem* FindItemByClass(const TMetaClass& bagClass) const;
  // The first entry whose bag's class name equals the name, without regard to ASCII case.
  virtual TPropertiesListItem* FindItemByName(std::string_view className) const;
  virtual TProperties* ByClass(const TMetaClass& bagClass) const;
  virtual TProperties* ByName(std::string_view className) const;
  // Creates a bag of bagClass through its virtual constructor and appends an entry that owns it;
  // none (and no entry) when the class cannot make a bag.
  virtual TProperties* AddNew(const TMetaClass& ownerClass, const TMetaClass& bagClass,
                              std::string caption);
  // Appends an entry that owns the bag.
  virtual TProperties& Add(const TMetaClass& ownerClass, std::unique_ptr<TProperties> bag,
                           std::string caption);
  // Appends an entry for a bag the caller keeps alive as long as the entry.
  virtual TProperties& Add(const TMetaClass& ownerClass, TProperties& bag, std::string caption);
  virtual void SetCaptionByClass(const TMetaClass& bagClass, std::string caption);
  virtual void SetCaptionByName(std::string_view className, std::string caption);
  virtual void ResetAll();
  // Copies the other list's bags into this one, adding owned bags for classes it lacks; with clear
  // set, this list's entries are removed first.
  virtual void AssignList(const TPropertiesList& other, bool clear);
  // One value per bag, named by the bag's class, in the key at keyPath (created when missing).
  virtual bool SaveToRegistry(TKeyValueStore& store, std::string_view keyPath, int32_t fileType,
                              int32_t fileVersion) const;
  // Every value of the key whose name is the class of a bag of this list is read into that bag.
  virtual bool LoadFromRegistry(TKeyValueStore& store, std::string_view keyPath, int32_t fileType,
                                int32_t fileVersion);
  // One chunk (id 257) per bag: its class name, then its fields in a sub-chunk.
  virtual bool WriteToStream(TCSFStream& stream) const;
  virtual bool ReadFromStream(TCSFStream& stream);
  virtual bool LoadFromFile(const std::string& fileName);
  // Replaces the file only when every bag was written, so a failure keeps the old file.
  virtual bool SaveToFile(const std::string& fileName) const;

  int Count() const { return static_cast<int>(items_.size()); }
  TPropertiesListItem& Items(int index) const;
  void Clear();

 private:
  TProperties& Append(std::unique_ptr<TPropertiesListItem> item);

  std::vector<std::unique_ptr<TPropertiesListItem>> items_;
};

}  // namespace nimbra
