// The background music's play list: sound files with start and end points, volume, fades, gaps and
// a volume envelope each, stored in the document's music settings and in play-list files of their
// own. Playing them is the player's business; this is what is kept and stored.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace nimbra {

class TCSFStream;

inline constexpr int32_t kMusicPlayListFileType = 1285;
inline constexpr int32_t kMusicPlayListFileVersion = 256;
inline constexpr int32_t kMusicPlayListChunkId = 256;
// The file length of an item whose file was never measured.
inline constexpr int32_t kFileLengthNotMeasured = -2;

class TMusicPlayListItem {
 public:
  TMusicPlayListItem() = default;

  // Copies every stored field.
  void Assign(const TMusicPlayListItem& other);
  std::unique_ptr<TMusicPlayListItem> Clone() const;

  // As stored; resolved against the document when played.
  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }
  int32_t ItemVolume() const { return itemVolume_; }
  void SetItemVolume(int32_t volume) { itemVolume_ = volume; }
  int32_t StartOffset() const { return startOffset_; }
  void SetStartOffset(int32_t milliseconds) { startOffset_ = milliseconds; }
  // 0 plays to the end of the file.
  int32_t EndOffset() const { return endOffset_; }
  void SetEndOffset(int32_t milliseconds) { endOffset_ = milliseconds; }
  int32_t FadeIn() const { return fadeIn_; }
  void SetFadeIn(int32_t milliseconds) { fadeIn_ = milliseconds; }
  int32_t FadeOut() const { return fadeOut_; }
  void SetFadeOut(int32_t milliseconds) { fadeOut_ = milliseconds; }
  int32_t GapAfter() const { return gapAfter_; }
  void SetGapAfter(int32_t milliseconds) { gapAfter_ = milliseconds; }
  int32_t PauseBefore() const { return pauseBefore_; }
  void SetPauseBefore(int32_t milliseconds) { pauseBefore_ = milliseconds; }
  int32_t FileLength() const { return fileLength_; }
  void SetFileLength(int32_t milliseconds) { fileLength_ = milliseconds; }
  bool IsMeasured() const { return fileLength_ != kFileLengthNotMeasured; }
  // The volume envelope in its stored form (a time curve); empty when the item has none. Kept as
  // bytes until time curves are built, so it is written back exactly as it was read.
  const std::string& EnvelopeData() const { return envelopeData_; }
  void SetEnvelopeData(std::string bytes) { envelopeData_ = std::move(bytes); }
  bool HasEnvelope() const { return !envelopeData_.empty(); }
  // The item's last sub-chunk, empty as this program writes it; a newer writer's data in it is
  // kept.
  const std::string& TrailingData() const { return trailingData_; }
  void SetTrailingData(std::string bytes) { trailingData_ = std::move(bytes); }

  // The item's fields (the list puts them in a sub-chunk of their own); false on a stream failure.
  bool WriteTo(TCSFStream& stream) const;
  // Fields read before a failure keep their new values.
  bool ReadFrom(TCSFStream& stream);

 private:
  std::string fileName_;
  int32_t itemVolume_ = 255;
  int32_t startOffset_ = 0;
  int32_t endOffset_ = 0;
  int32_t fadeIn_ = 0;
  int32_t fadeOut_ = 0;
  int32_t gapAfter_ = 1000;
  int32_t pauseBefore_ = 0;
  int32_t fileLength_ = kFileLengthNotMeasured;
  std::string envelopeData_;
  std::string trailingData_;
};

class TMusicPlayList {
 public:
  TMusicPlayList() = default;
  TMusicPlayList(const TMusicPlayList&) = delete;
  TMusicPlayList& operator=(const TMusicPlayList&) = delete;

  // Replaces the items with copies of the other list's.
  void Assign(const TMusicPlayList& other);
  std::unique_ptr<TMusicPlayList> Clone() const;

  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  // Raises std::out_of_range outside 0 .. Count - 1.
  TMusicPlayListItem& Items(int index) const;
  TMusicPlayListItem& Add(std::unique_ptr<TMusicPlayListItem> item);
  void Delete(int index);
  void Clear();

  // The index of the item started last; -1 before the first.
  int Current() const { return current_; }
  void SetCurrent(int index) { current_ = index; }
  void ResetCurrent() { current_ = -1; }
  // Held by whoever walks or changes the list while the music plays; the holder may lock again.
  void Lock() { lock_.lock(); }
  void Unlock() { lock_.unlock(); }

  // The count, then each item in a sub-chunk.
  bool WriteItems(TCSFStream& stream) const;
  // Appends the stored items; true only when every item was read. An item that fails is appended
  // with what it read.
  bool ReadItems(TCSFStream& stream);
  // A play-list file: one chunk with the items. The list is replaced by the file's items; a file
  // of another type or a newer version gives an empty list, with success.
  bool LoadFromFile(const std::string& fileName);
  bool SaveToFile(const std::string& fileName) const;

 private:
  std::vector<std::unique_ptr<TMusicPlayListItem>> items_;
  int current_ = -1;
  std::recursive_mutex lock_;
};

}  // namespace nimbra
