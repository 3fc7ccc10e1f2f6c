#include "slideshow/MusicPlayList.h"

#include <stdexcept>

#include "framework/Properties.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/ChunkedStreams.h"
#include "storage/FalseOnFailure.h"
#include "storage/StoredBytes.h"

namespace nimbra {

namespace {

constexpr int32_t kSlideShowDocumentFileType = 1281;
// The last document version whose items hold a one-byte volume and end after the file length.
constexpr int32_t kLastNarrowItemVersion = 771;

// Whether the items in this stream carry a 32-bit volume, a pause and the two sub-chunks. Copies
// (Assign, Clone, Reset) are read back with the copy version and always hold the newest layout.
bool HasWideItemFields(const TCSFStream& stream) {
  const int32_t version = stream.FileVersion();
  if (version == 0 || version == kCopyFileVersion) return true;
  if (stream.FileType() == kMusicPlayListFileType) return true;
  return stream.FileType() == kSlideShowDocumentFileType && version > kLastNarrowItemVersion;
}

}  // namespace

// ---- TMusicPlayListItem ----

void TMusicPlayListItem::Assign(const TMusicPlayListItem& other) {
  fileName_ = other.fileName_;
  itemVolume_ = other.itemVolume_;
  startOffset_ = other.startOffset_;
  endOffset_ = other.endOffset_;
  fadeIn_ = other.fadeIn_;
  fadeOut_ = other.fadeOut_;
  gapAfter_ = other.gapAfter_;
  pauseBefore_ = other.pauseBefore_;
  fileLength_ = other.fileLength_;
  envelopeData_ = other.envelopeData_;
  trailingData_ = other.trailingData_;
}

std::unique_ptr<TMusicPlayListItem> TMusicPlayListItem::Clone() const {
  auto clone = std::make_unique<TMusicPlayListItem>();
  clone->Assign(*this);
  return clone;
}

bool TMusicPlayListItem::WriteTo(TCSFStream& stream) const {
  return FalseOnFailure([&] {
    stream.WriteString(fileName_);
    stream.WriteInteger(itemVolume_);
    stream.WriteInteger(startOffset_);
    stream.WriteInteger(endOffset_);
    stream.WriteInteger(fadeIn_);
    stream.WriteInteger(fadeOut_);
    stream.WriteInteger(gapAfter_);
    stream.WriteInteger(fileLength_);
    stream.WriteInteger(pauseBefore_);
    TWriteSubChunk envelope(stream);
    stream.WriteBuffer(envelopeData_.data(), static_cast<int64_t>(envelopeData_.size()));
    envelope.End();
    TWriteSubChunk trailing(stream);
    stream.WriteBuffer(trailingData_.data(), static_cast<int64_t>(trailingData_.size()));
    trailing.End();
    return true;
  });
}

bool TMusicPlayListItem::ReadFrom(TCSFStream& stream) {
  return FalseOnFailure([&] {
    const bool wide = HasWideItemFields(stream);
    fileName_ = stream.ReadString();
    itemVolume_ = wide ? stream.ReadInteger() : stream.ReadByte();
    startOffset_ = stream.ReadInteger();
    endOffset_ = stream.ReadInteger();
    fadeIn_ = stream.ReadInteger();
    fadeOut_ = stream.ReadInteger();
    gapAfter_ = stream.ReadInteger();
    fileLength_ = stream.ReadInteger();
    if (!wide) return true;
    pauseBefore_ = stream.ReadInteger();
    {
      TReadSubChunk envelope(stream);
      envelopeData_ = ReadRemainingBytes(stream);
    }
    TReadSubChunk trailing(stream);
    trailingData_ = ReadRemainingBytes(stream);
    return true;
  });
}

// ---- TMusicPlayList ----

void TMusicPlayList::Assign(const TMusicPlayList& other) {
  if (&other == this) return;
  std::vector<std::unique_ptr<TMusicPlayListItem>> copies;
  copies.reserve(other.items_.size());
  for (const auto& item : other.items_) copies.push_back(item->Clone());
  items_ = std::move(copies);
}

std::unique_ptr<TMusicPlayList> TMusicPlayList::Clone() const {
  auto clone = std::make_unique<TMusicPlayList>();
  clone->Assign(*this);
  return clone;
}

TMusicPlayListItem& TMusicPlayList::Items(int index) const {
  if (index < 0 || index >= Count()) {
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  }
  return *items_[static_cast<size_t>(index)];
}

TMusicPlayListItem& TMusicPlayList::Add(std::unique_ptr<TMusicPlayListItem> item) {
  items_.push_back(std::move(item));
  return *items_.back();
}

void TMusicPlayList::Delete(int index) {
  Items(index);  // raises outside the list
  items_.erase(items_.begin() + index);
}

void TMusicPlayList::Clear() {
  items_.clear();
}

bool TMusicPlayList::WriteItems(TCSFStream& stream) const {
  return FalseOnFailure([&] {
    stream.WriteInteger(Count());
    for (const auto& item : items_) {
      TWriteSubChunk fields(stream);
      if (!item->WriteTo(stream)) return false;
      fields.End();
    }
    return true;
  });
}

bool TMusicPlayList::ReadItems(TCSFStream& stream) {
  return FalseOnFailure([&] {
    // Every item sits in a sub-chunk, which takes at least its own 4-byte length.
    const int32_t count = ReadCheckedCount(stream, 4);
    bool allRead = true;
    for (int32_t i = 0; i < count; ++i) {
      TReadSubChunk fields(stream);
      const int64_t end = stream.Position() + fields.Length();
      auto item = std::make_unique<TMusicPlayListItem>();
      // Fields that ran on past the item's sub-chunk were read from the next one.
      if (!item->ReadFrom(stream) || stream.Position() > end) allRead = false;
      items_.push_back(std::move(item));
    }
    return allRead;
  });
}

bool TMusicPlayList::LoadFromFile(const std::string& fileName) {
  Clear();
  return FalseOnFailure([&] {
    TCSFFileWinTypes file(fileName, CSFMode::Read);
    if (file.FileType() != kMusicPlayListFileType ||
        file.FileVersion() > kMusicPlayListFileVersion) {
      return true;
    }
    bool allRead = true;
    for (int32_t i = 0; i < file.ChunkCount(); ++i) {
      const TChunkHeader header = file.BeginReadChunk();
      if (header.Id == kMusicPlayListChunkId && !ReadItems(file)) allRead = false;
      file.EndReadChunk();
    }
    return allRead;
  });
}

bool TMusicPlayList::SaveToFile(const std::string& fileName) const {
  return WriteChunkedFile(fileName, kMusicPlayListFileType, kMusicPlayListFileVersion,
                          [this](TCSFStream& file) {
                            file.BeginChunk(kMusicPlayListChunkId);
                            const bool written = WriteItems(file);
                            file.EndChunk();
                            return written;
                          });
}

}  // namespace nimbra
