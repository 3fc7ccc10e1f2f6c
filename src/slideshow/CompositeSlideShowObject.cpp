#include "slideshow/CompositeSlideShowObject.h"

#include <algorithm>

#include "framework/FieldMap.h"
#include "slideshow/RandomTransitionPlugin.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPicTextSoundCompositeSlideShowObject, TPicSlideShowObject)

TTextFormat DefaultCompositeTextFormat() {
  TTextFormat format;
  format.Position = static_cast<uint8_t>(TTextPosition::Bottom);
  format.FreeRect = {0, 0, 0, 0};
  return format;
}

TPicTextSoundCompositeSlideShowObject::TPicTextSoundCompositeSlideShowObject()
    : transitionData_(DefaultTransitionEntryBytes()), format_(DefaultCompositeTextFormat()) {}

TPicTextSoundCompositeSlideShowObject::~TPicTextSoundCompositeSlideShowObject() = default;

std::unique_ptr<TTransitionPlugin> TPicTextSoundCompositeSlideShowObject::Transition() const {
  return TransitionFromEntryBytes(transitionData_);
}

void TPicTextSoundCompositeSlideShowObject::SetTransition(const TTransitionPlugin* transition) {
  transitionData_ = TransitionEntryBytes(transition);
}

const std::vector<std::unique_ptr<TSlideShowObject>>&
TPicTextSoundCompositeSlideShowObject::BuildParts() {
  parts_.clear();
  if (soundFileName_.empty()) return parts_;
  auto sound = std::make_unique<TSoundSlideShowObject>();
  // The part plays in the composite's place, so it resolves against the same document.
  sound->SetOwnerList(OwnerList());
  sound->SetFileName(soundFileName_);
  const int32_t duration = Duration();
  sound->SetDuration(duration);
  sound->SetStartTime(StartTime());
  sound->SetDurationFollowsSound(durationFollowsSound_ ||
                                 (soundLength_ != kUnknownSoundLength && soundLength_ < duration));
  sound->SetLowerMusic(lowerMusic_);
  sound->SetVolume(volume_);
  sound->SetEndMode(endMode_);
  parts_.push_back(std::move(sound));
  return parts_;
}

int32_t TPicTextSoundCompositeSlideShowObject::Duration() const {
  const bool hasSound = !soundFileName_.empty();
  int64_t duration = PlayableDuration();
  if (durationFollowsSound_ && hasSound && soundLength_ != kUnknownSoundLength) {
    duration = soundLength_;
  }
  if (lowerMusic_ && hasSound) duration += 2 * static_cast<int64_t>(MusicFadeTime(*this));
  return static_cast<int32_t>(std::clamp<int64_t>(duration, INT32_MIN, INT32_MAX));
}

void TPicTextSoundCompositeSlideShowObject::CopyFrom(const TSlideShowObject& other) {
  TPicSlideShowObject::CopyFrom(other);
  const auto* source = dynamic_cast<const TPicTextSoundCompositeSlideShowObject*>(&other);
  if (source == nullptr) return;
  transitionData_ = source->transitionData_;
  text_ = source->text_;
  format_ = source->format_;
  showText_ = source->showText_;
  soundFileName_ = source->soundFileName_;
  soundLength_ = source->soundLength_;
  durationFollowsSound_ = source->durationFollowsSound_;
  lowerMusic_ = source->lowerMusic_;
  volume_ = source->volume_;
  endMode_ = source->endMode_;
  fadeOutTime_ = source->fadeOutTime_;
}

std::string TPicTextSoundCompositeSlideShowObject::PropertyFrameClassName() const {
  return "TPicTextSoundCompositeSlideShowObjectPropertyFrame";
}

void TPicTextSoundCompositeSlideShowObject::MapFields(TFieldMap& map) {
  TPicSlideShowObject::MapFields(map);
  // 1. the transition
  map.SubChunkBytes("transition", transitionData_);
  // 2. the text
  map.SubChunk([&] {
    MapTextAndFormat(map, text_, format_);
    map.Boolean("showText", showText_);
  });
  // 3. the sound
  map.SubChunk([&] {
    MapSoundFields(map, {soundFileName_, soundLength_, durationFollowsSound_, lowerMusic_, volume_,
                         endMode_, fadeOutTime_});
  });
}

}  // namespace nimbra
