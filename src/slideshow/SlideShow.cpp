#include "slideshow/SlideShow.h"

#include <utility>
#include <vector>

#include "framework/FileNameResolution.h"
#include "slideshow/ChunkReadScope.h"
#include "slideshow/MusicProperties.h"
#include "slideshow/SlideShowInfoProperties.h"
#include "slideshow/SlideShowProperties.h"
#include "storage/AtomicFile.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/Check.h"
#include "storage/ChunkedStreams.h"
#include "storage/FalseOnFailure.h"
#include "storage/FileStream.h"

namespace nimbra {

namespace {

void ReindexTree(TSlideShowObjectList& list) {
  list.Reindex(0);
  for (int32_t i = 0; i < list.Count(); ++i) {
    if (TSlideShowObjectList* children = ChildrenOf(list.Items(i))) ReindexTree(*children);
  }
}

// Picks the objects in uniformly random order and moves each to the front, so the list ends in the
// reverse of the picking order: every permutation is equally likely.
void ShuffleList(TSlideShowObjectList& list, std::mt19937& random) {
  std::vector<TSlideShowObject*> scratch;
  for (int32_t i = 0; i < list.Count(); ++i) scratch.push_back(list.Items(i));
  while (!scratch.empty()) {
    std::uniform_int_distribution<size_t> pick(0, scratch.size() - 1);
    const size_t chosen = pick(random);
    TSlideShowObject* object = scratch[chosen];
    list.Move(list.IndexOf(object), 0);
    if (TSlideShowObjectList* children = ChildrenOf(object)) ShuffleList(*children, random);
    scratch.erase(scratch.begin() + static_cast<std::ptrdiff_t>(chosen));
  }
}

template <typename T>
T& BagOf(const TPropertiesList& bags) {
  auto* bag = dynamic_cast<T*>(bags.ByClass(T::StaticClass()));
  NIMBRA_CHECK(bag != nullptr, "a document without its " + T::StaticClass().ClassName());
  return *bag;
}

}  // namespace

NIMBRA_DEFINE_CLASS(TSlideShow, TObject)

TSlideShow::TSlideShow()
    : rootList_(std::make_unique<TSlideShowObjectList>(this, true)),
      bags_(std::make_unique<TPropertiesList>()),
      links_(std::make_unique<TSlideShowObjectLinkList>()),
      updates_(std::make_unique<TUpdateList>()) {
  CreateBags();
}

TSlideShow::~TSlideShow() {
  updates_->Clear();
  links_.reset();
  rootList_.reset();
  bags_.reset();
}

void TSlideShow::CreateBags() {
  // Settings, music, information: the order the bag chunks are written in.
  const TMetaClass& owner = ClassType();
  slideShowProperties_ = &static_cast<TSlideShowProperties&>(
      bags_->Add(owner, std::make_unique<TSlideShowProperties>(), kSlideShowBagCaption));
  musicProperties_ = &static_cast<TMusicProperties&>(
      bags_->Add(owner, std::make_unique<TMusicProperties>(), kSlideShowBagCaption));
  infoProperties_ = &static_cast<TSlideShowInfoProperties&>(
      bags_->Add(owner, std::make_unique<TSlideShowInfoProperties>(), kSlideShowBagCaption));
  LinkBags();
}

void TSlideShow::LinkBags() { musicProperties_->SetSlideShow(this); }

void TSlideShow::ObjectChanged(TSlideShowObject& object, int32_t changeCode, int32_t extra) {
  // 1. the show is modified, even while updates are held back
  SetModified(true, changeCode);
  // 2. held-back updates are not reported; otherwise the change is queued and announced
  if (updateLockCount_ != 0) return;
  AddUpdate(object, TUpdateKind::Changed, extra, changeCode);
  if (OnChange) OnChange(this);
}

int32_t TSlideShow::TotalObjectCount() const { return rootList_->TotalObjectCount(); }

int64_t TSlideShow::TotalDuration() const {
  int64_t total = rootList_->TotalDuration();
  if (musicProperties_->MusicOn()) total += musicProperties_->FadeOutDuration();
  return total;
}

void TSlideShow::Assign(const TSlideShow& other) {
  if (&other == this) return;
  fileName_ = other.fileName_;
  modified_ = other.modified_;
  // The marker belongs to the content: a copy saves the way the original does.
  marker_ = other.marker_;
  // The bags are replaced by copies (both documents hold the same three classes), so the typed
  // references are looked up again.
  bags_->AssignList(*other.bags_, true);
  slideShowProperties_ = &BagOf<TSlideShowProperties>(*bags_);
  musicProperties_ = &BagOf<TMusicProperties>(*bags_);
  infoProperties_ = &BagOf<TSlideShowInfoProperties>(*bags_);
  LinkBags();
  rootList_->AssignList(*other.rootList_);
}

void TSlideShow::BeginUpdate() { ++updateLockCount_; }

void TSlideShow::EndUpdate() {
  if (updateLockCount_ > 0) --updateLockCount_;
}

void TSlideShow::Reindex() { ReindexTree(*rootList_); }

void TSlideShow::Modify(int32_t changeCode) { SetModified(true, changeCode); }

TSlideShowObject* TSlideShow::NextInTree(const TSlideShowObject* object) const {
  return rootList_->NextInTree(object);
}

TSlideShowObject* TSlideShow::PreviousInTree(const TSlideShowObject* object) const {
  return rootList_->PreviousInTree(object);
}

std::unique_ptr<TSlideShow> TSlideShow::Clone() const {
  std::unique_ptr<TSlideShow> copy = CreateAs<TSlideShow>(ClassType());
  if (copy) copy->Assign(*this);
  return copy;
}

bool TSlideShow::WriteToStream(TCSFStream& stream) const {
  return FalseOnFailure([&] {
    // 1. the marker
    if (marker_) {
      stream.BeginChunk(kMarkerChunkId);
      stream.EndChunk();
    }
    // 2. the bags, in list order
    for (int i = 0; i < bags_->Count(); ++i) {
      const TProperties& bag = bags_->Items(i).Properties();
      stream.BeginChunk(kBagChunkId);
      stream.WriteString(bag.ClassName());
      const bool written = bag.WriteToStream(stream);
      stream.EndChunk();
      if (!written) return false;
    }
    // 3. the objects
    return rootList_->WriteObjects(stream);
  });
}

bool TSlideShow::SaveToStream(TStream& stream) const {
  return WriteChunked(stream, CSFMode::Create, kSlideShowFileType, kSlideShowFileVersion,
                      [this](TCSFStream& csf) { return WriteToStream(csf); });
}

bool TSlideShow::SaveToFile(const std::string& fileName) const {
  return FalseOnFailure([&] {
    TAtomicFile target(fileName);
    bool written = false;
    {
      TFileStream file(target.TemporaryName(), FileMode::Create, fileName);
      written = SaveToStream(file);
      file.Flush();
    }
    if (!written) return false;
    target.Commit();
    return true;
  });
}

TSlideShowLoad TSlideShow::ReadFromStream(TCSFStream& stream) {
  // 1. the marker stays off unless its chunk is read
  marker_ = false;
  // 2. only slideshow files, and none older than the oldest version still read
  if (stream.FileType() != kSlideShowFileType) return TSlideShowLoad::NotReadable;
  if (stream.FileVersion() < kSlideShowMinFileVersion) return TSlideShowLoad::TooOld;
  // 3. a file without chunks is an empty slideshow
  if (stream.ChunkCount() < 1) return TSlideShowLoad::Loaded;
  // 4. The object sequences consume the chunks after their 1026 chunk themselves; skip counts
  // them so that this loop passes them over.
  int32_t skip = 0;
  return ResultOnFailure(TSlideShowLoad::NotReadable, [&] {
    TSlideShowLoad result = TSlideShowLoad::Loaded;
    for (int32_t chunk = 0; chunk < stream.ChunkCount(); ++chunk) {
      const int64_t start = stream.Position();
      const TChunkHeader header = stream.ReadChunkHeader();
      if (skip > 0) {
        --skip;
      } else if (header.Id == kSequenceChunkId) {
        // A sequence without its count, or one that failed inside, means the stream failed;
        // what was read stays.
        const int64_t payloadSize = header.Length - kChunkHeaderSize;
        if (payloadSize < 4 || rootList_->ReadObjects(stream, payloadSize, skip, -1, 0) < 0) {
          return TSlideShowLoad::NotReadable;
        }
      } else if (header.Id == kMarkerChunkId) {
        marker_ = true;
        result = TSlideShowLoad::LoadedWithMarker;
      } else if (header.Id == kBagChunkId) {
        TChunkReadScope payload(stream, start);
        // The bag's own result does not matter: a damaged bag keeps what it read.
        if (TProperties* bag = bags_->ByName(stream.ReadString())) bag->ReadFromStream(stream);
      }
      stream.SetPosition(start + header.Length);
    }
    return result;
  });
}

TSlideShowLoad TSlideShow::LoadFromStream(TStream& stream) {
  return ResultOnFailure(TSlideShowLoad::NotReadable, [&] {
    TCSFStreamWinTypes csf(stream, CSFMode::Read);
    return ReadFromStream(csf);
  });
}

TSlideShowLoad TSlideShow::LoadFromFile(const std::string& fileName) {
  return ResultOnFailure(TSlideShowLoad::NotReadable, [&] {
    TFileStream file(fileName, FileMode::OpenRead);
    return LoadFromStream(file);
  });
}

std::string TSlideShow::ResolveFileName(const std::string& name) const {
  return nimbra::ResolveFileName(name, fileName_);
}

void TSlideShow::SetFileName(const std::string& fileName) {
  fileName_ = fileName;
  if (OnFileNameChange) OnFileNameChange(this);
}

void TSlideShow::SetModified(bool modified, int32_t changeCode) {
  if (OnModify) OnModify(this, changeCode);
  if (modified == modified_) return;
  modified_ = modified;
  if (OnModifiedChange) OnModifiedChange(this);
}

void TSlideShow::AddUpdate(const TSlideShowObject& object, TUpdateKind kind, int32_t extra,
                           int32_t changeCode) {
  updates_->Add(object, kind, extra, static_cast<int16_t>(changeCode));
}

void TSlideShow::Shuffle(std::mt19937& random) { ShuffleList(*rootList_, random); }

void TSlideShow::Shuffle() {
  std::random_device seed;
  std::mt19937 random(seed());
  Shuffle(random);
}

}  // namespace nimbra
