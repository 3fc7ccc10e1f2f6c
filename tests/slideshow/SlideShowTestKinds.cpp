#include "SlideShowTestKinds.h"

#include <exception>

#include "storage/CSFStreamWinTypes.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TTestLeaf, TSlideShowObject)
NIMBRA_DEFINE_PLUGIN(TTestChapter, TSlideShowObject)
NIMBRA_DEFINE_PLUGIN(TTestUnregisteredChapter, TTestChapter)

void TTestLeaf::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  Changed(kChangeTestText);
}

void TTestLeaf::CopyFrom(const TSlideShowObject& other) {
  TSlideShowObject::CopyFrom(other);
  if (const auto* leaf = dynamic_cast<const TTestLeaf*>(&other)) {
    text_ = leaf->text_;
    duration_ = leaf->duration_;
  }
}

bool TTestLeaf::WriteToStream(TCSFStream& stream) const {
  if (!TSlideShowObject::WriteToStream(stream)) return false;
  try {
    stream.WriteString(text_);
    stream.WriteInteger(duration_);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool TTestLeaf::ReadFromStream(TCSFStream& stream) {
  if (!TSlideShowObject::ReadFromStream(stream)) return false;
  try {
    text_ = stream.ReadString();
    duration_ = stream.ReadInteger();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

TSlideShowObjectList& TTestChapter::CreateChildren() {
  if (!children_) children_ = std::make_unique<TSlideShowObjectList>(this);
  return *children_;
}

void TTestChapter::CopyFrom(const TSlideShowObject& other) {
  TSlideShowObject::CopyFrom(other);
  const auto* chapter = dynamic_cast<const TTestChapter*>(&other);
  if (chapter == nullptr) return;
  text_ = chapter->text_;
  if (chapter->children_) {
    CreateChildren().AssignList(*chapter->children_);
  } else {
    children_.reset();
  }
}

bool TTestChapter::WriteToStream(TCSFStream& stream) const {
  if (!TSlideShowObject::WriteToStream(stream)) return false;
  try {
    stream.WriteString(text_);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool TTestChapter::ReadFromStream(TCSFStream& stream) {
  if (!TSlideShowObject::ReadFromStream(stream)) return false;
  try {
    text_ = stream.ReadString();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

TTestKindsRegistration::TTestKindsRegistration() {
  RegisterClass(TTestLeaf::StaticClass());
  RegisterClass(TTestChapter::StaticClass());
}

TTestKindsRegistration::~TTestKindsRegistration() {
  UnregisterClass(TTestLeaf::StaticClass());
  UnregisterClass(TTestChapter::StaticClass());
}

std::string TextOf(const TSlideShowObject* object) {
  const auto* text = dynamic_cast<const IText*>(object);
  return text != nullptr ? text->Text() : std::string();
}

TRawSlideShowWriter::TRawSlideShowWriter(int32_t fileVersion, int32_t fileType)
    : stream_(std::make_unique<TCSFStreamWinTypes>(memory_, CSFMode::Create)) {
  stream_->SetFileType(fileType);
  stream_->SetFileVersion(fileVersion);
}

TRawSlideShowWriter::~TRawSlideShowWriter() = default;

TRawSlideShowWriter& TRawSlideShowWriter::Sequence(int32_t count) {
  stream_->BeginChunk(kSequenceChunkId);
  stream_->WriteInteger(count);
  stream_->EndChunk();
  return *this;
}

TRawSlideShowWriter& TRawSlideShowWriter::Object(const TSlideShowObject& object) {
  stream_->BeginChunk(kObjectChunkId);
  stream_->WriteClassName(&object);
  object.WriteToStream(*stream_);
  stream_->EndChunk();
  return *this;
}

TRawSlideShowWriter& TRawSlideShowWriter::Chunk(int32_t id) {
  stream_->BeginChunk(id);
  stream_->EndChunk();
  return *this;
}

TRawSlideShowWriter& TRawSlideShowWriter::Bag(const TProperties& bag) {
  stream_->BeginChunk(kBagChunkId);
  stream_->WriteString(bag.ClassName());
  bag.WriteToStream(*stream_);
  stream_->EndChunk();
  return *this;
}

std::string TRawSlideShowWriter::Finish() {
  stream_->Release();
  return memory_.ToString();
}

}  // namespace nimbra
