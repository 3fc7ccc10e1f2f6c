#include "slideshow/PlayableSlideShowObject.h"

#include "framework/FieldWriter.h"
#include "framework/Properties.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowProperties.h"
#include "storage/CSFError.h"
#include "storage/CSFStream.h"
#include "storage/StoredBytes.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPlayableSlideShowObject, TSlideShowObject)

namespace {

constexpr int64_t kSubChunkLengthSize = 4;

}  // namespace

const std::string& EmptyEventData() {
  static const std::string bytes(4, '\0');
  return bytes;
}

std::string ReadEventData(TCSFStream& stream) {
  const int64_t start = stream.Position();
  // A negative count stands for no events, as the event list reads it.
  const int32_t count = stream.ReadInteger();
  if (count > 0 &&
      static_cast<int64_t>(count) * kSubChunkLengthSize > stream.RemainingInContainer()) {
    TCSFStream::RaiseError(kCSFReadError);
  }
  for (int32_t i = 0; i < count; ++i) TReadSubChunk entry(stream);
  const int64_t end = stream.Position();
  stream.SetPosition(start);
  std::string bytes(static_cast<size_t>(end - start), '\0');
  stream.ReadBuffer(bytes.data(), end - start);
  return bytes;
}

TPlayableSlideShowObject::TPlayableSlideShowObject() : eventData_(EmptyEventData()) {}

TPlayableSlideShowObject::~TPlayableSlideShowObject() = default;

TSlideShowObjectInitializationList& TPlayableSlideShowObject::Initializations() {
  if (!initializations_) initializations_ = std::make_unique<TSlideShowObjectInitializationList>();
  return *initializations_;
}

void TPlayableSlideShowObject::SetEventData(std::string bytes) {
  eventData_ = bytes.size() < 4 ? EmptyEventData() : std::move(bytes);
}

int32_t TPlayableSlideShowObject::EventCount() const {
  const auto byte = [this](size_t i) {
    return static_cast<uint32_t>(static_cast<uint8_t>(eventData_[i]));
  };
  const auto count = static_cast<int32_t>(byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24);
  return count > 0 ? count : 0;
}

std::vector<const TMetaClass*> TPlayableSlideShowObject::EventClasses() const {
  std::vector<const TMetaClass*> classes;
  for (const char* name :
       {"TSlideShowObjectEventObjectStarted", "TSlideShowObjectEventObjectFinished"}) {
    if (const TMetaClass* eventClass = GetClass(name)) classes.push_back(eventClass);
  }
  return classes;
}

int32_t TPlayableSlideShowObject::PlayableDuration() const {
  if (duration_ != kDefaultDisplayTime) return duration_;
  const TSlideShow* document = SlideShow();
  return document != nullptr ? document->SlideShowProperties().DefaultDisplayTime() : 0;
}

void TPlayableSlideShowObject::CopyFrom(const TSlideShowObject& other) {
  TSlideShowObject::CopyFrom(other);
  const auto* source = dynamic_cast<const TPlayableSlideShowObject*>(&other);
  if (source == nullptr) return;
  startTime_ = source->startTime_;
  startDelay_ = source->startDelay_;
  duration_ = source->duration_;
  eventData_ = source->eventData_;
  keywords_ = source->keywords_;
}

std::string TPlayableSlideShowObject::PropertyFrameClassName() const {
  return "TSimpleSlideShowObjectPropertyFrame";
}

TStoredPart TPlayableSlideShowObject::EventListPart() {
  return {[this](TCSFStream& stream) {
            stream.WriteBuffer(eventData_.data(), static_cast<int64_t>(eventData_.size()));
            return true;
          },
          [this](TCSFStream& stream) {
            eventData_ = ReadEventData(stream);
            return TPartRead::Read;
          },
          [this](std::string_view name, TFieldWriter& fields) { fields.Bytes(name, eventData_); }};
}

void TPlayableSlideShowObject::MapFields(TFieldMap& map) {
  TSlideShowObject::MapFields(map);
  map.Integer("duration", duration_);
  map.Integer("startTime", startTime_);
  map.Integer("startDelay", startDelay_);
  map.String("keywords", keywords_);
  map.Part("events", EventListPart());
}

}  // namespace nimbra
