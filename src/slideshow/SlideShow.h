// The slideshow document (*.kvt): the tree of slideshow objects and the three document-wide
// settings bags, stored as a chunked stream file. Loading never stops at an object or bag whose
// class is unknown; it reports what kind of failure ended it by a result code.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include "framework/PropertiesList.h"
#include "slideshow/SlideShowObjectLinkList.h"
#include "slideshow/SlideShowObjectList.h"
#include "slideshow/UpdateList.h"
#include "storage/ClassRegistry.h"

namespace nimbra {

class TCSFStream;
class TMusicProperties;
class TSlideShowInfoProperties;
class TSlideShowProperties;
class TStream;

// How ReadFromStream, LoadFromStream and LoadFromFile ended. Tools show the number.
enum class TSlideShowLoad : int32_t {
  Loaded = 0,
  NotReadable = 1,       // other file type, or the stream failed
  TooOld = 2,            // file version below 768: nothing read
  LoadedWithMarker = 3,  // read, and the marker chunk was there
};

// Documents older than this are refused.
inline constexpr int32_t kSlideShowMinFileVersion = 768;
// The caption the document's bags are registered with.
inline constexpr const char* kSlideShowBagCaption = "Vistra";

class TSlideShow : public TObject {
  NIMBRA_DECLARE_CLASS()

 public:
  using TNotifyEvent = std::function<void(TObject* sender)>;
  using TModifyEvent = std::function<void(TObject* sender, int32_t changeCode)>;

  // An empty document: the three bags, an empty root list, no file name, not modified.
  TSlideShow();
  virtual ~TSlideShow();
  TSlideShow(const TSlideShow&) = delete;
  TSlideShow& operator=(const TSlideShow&) = delete;

  TNotifyEvent OnFileNameChange;
  TNotifyEvent OnModifiedChange;
  TModifyEvent OnModify;
  // An object change was recorded.
  TNotifyEvent OnChange;

  TSlideShowObjectList& RootList() const { return *rootList_; }
  TPropertiesList& PropertiesList() const { return *bags_; }
  TSlideShowProperties& SlideShowProperties() const { return *slideShowProperties_; }
  TMusicProperties& MusicProperties() const { return *musicProperties_; }
  TSlideShowInfoProperties& SlideShowInfoProperties() const { return *infoProperties_; }
  TSlideShowObjectLinkList& Links() const { return *links_; }
  TUpdateList& Updates() const { return *updates_; }
  const std::string& FileName() const { return fileName_; }
  bool Modified() const { return modified_; }
  int32_t UpdateLockCount() const { return updateLockCount_; }
  // Set when the document carried the marker chunk; written back on save.
  bool Marker() const { return marker_; }
  void SetMarker(bool marker) { marker_ = marker; }

  // Sets the modified flag; while no update lock is held, records the change and raises OnChange.
  virtual void ObjectChanged(TSlideShowObject& object, int32_t changeCode, int32_t extra);
  virtual int32_t TotalObjectCount() const;
  // The root list's duration, plus the music's fade-out when background music is on.
  virtual int64_t TotalDuration() const;
  // Copies the file name, the modified flag, the bags and a deep copy of the object tree.
  virtual void Assign(const TSlideShow& other);
  virtual void BeginUpdate();
  // Never below 0.
  virtual void EndUpdate();
  // Every object's index set to its position, in every list of the tree.
  virtual void Reindex();
  virtual void Modify(int32_t changeCode);
  virtual TSlideShowObject* NextInTree(const TSlideShowObject* object) const;
  virtual TSlideShowObject* PreviousInTree(const TSlideShowObject* object) const;
  // A new document of the same class with Assign applied.
  virtual std::unique_ptr<TSlideShow> Clone() const;
  // The marker chunk when set, the bag chunks, the root sequence. False when a bag or object
  // reported a failed write (nothing after it is written) or on any failure.
  virtual bool WriteToStream(TCSFStream& stream) const;
  // A chunked stream with a file header of the slideshow's type and version.
  virtual bool SaveToStream(TStream& stream) const;
  // Replaces the file only when everything was written.
  virtual bool SaveToFile(const std::string& fileName) const;
  // Appends what the stream holds and says how reading ended. Load into a new, empty document.
  virtual TSlideShowLoad ReadFromStream(TCSFStream& stream);
  // Opens the byte stream as a chunked stream (header checked) and reads it.
  virtual TSlideShowLoad LoadFromStream(TStream& stream);
  // The file through LoadFromStream; NotReadable when it cannot be opened. The file name is not
  // taken over.
  virtual TSlideShowLoad LoadFromFile(const std::string& fileName);

  // A stored file name as a full path, resolved against the document's file name; empty when the
  // file cannot be found.
  std::string ResolveFileName(const std::string& name) const;
  void SetFileName(const std::string& fileName);
  // Raises OnModify every time; stores a different flag and raises OnModifiedChange.
  void SetModified(bool modified, int32_t changeCode);
  void ClearUpdates() { updates_->Clear(); }
  // Adds a record for the object as it stands now.
  void AddUpdate(const TSlideShowObject& object, TUpdateKind kind, int32_t extra,
                 int32_t changeCode);
  // Random order for every list of the tree; every permutation equally likely.
  void Shuffle(std::mt19937& random);
  void Shuffle();

 private:
  void CreateBags();
  // Points the music bag's document link at this document.
  void LinkBags();

  bool marker_ = false;
  std::unique_ptr<TSlideShowObjectList> rootList_;
  std::unique_ptr<TPropertiesList> bags_;
  TSlideShowProperties* slideShowProperties_ = nullptr;
  TMusicProperties* musicProperties_ = nullptr;
  TSlideShowInfoProperties* infoProperties_ = nullptr;
  std::unique_ptr<TSlideShowObjectLinkList> links_;
  std::string fileName_;
  bool modified_ = false;
  int32_t updateLockCount_ = 0;
  std::unique_ptr<TUpdateList> updates_;
};

}  // namespace nimbra
