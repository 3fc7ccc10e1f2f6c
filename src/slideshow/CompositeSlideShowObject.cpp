#include "slideshow/CompositeSlideShowObject.h"

#include <algorithm>
#include <exception>

#include "framework/Properties.h"
#include "slideshow/RandomTransitionPlugin.h"
#include "storage/CSFStream.h"

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

bool TPicTextSoundCompositeSlideShowObject::WriteToStream(TCSFStream& stream) const {
  if (!TPicSlideShowObject::WriteToStream(stream)) return false;
  try {
    // 1. the transition
    WriteSubChunkBytes(stream, transitionData_);
    // 2. the text
    TWriteSubChunk text(stream);
    WriteTextAndFormat(stream, text_, format_);
    stream.WriteBoolean(showText_);
    text.End();
    // 3. the sound
    TWriteSubChunk sound(stream);
    stream.WriteString(soundFileName_);
    stream.WriteInteger(soundLength_);
    stream.WriteBoolean(durationFollowsSound_);
    stream.WriteBoolean(lowerMusic_);
    stream.WriteInteger(volume_);
    stream.WriteByte(endMode_);
    stream.WriteInteger(fadeOutTime_);
    sound.End();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool TPicTextSoundCompositeSlideShowObject::ReadFromStream(TCSFStream& stream) {
  if (!TPicSlideShowObject::ReadFromStream(stream)) return false;
  try {
    // 1. the transition
    transitionData_ = ReadSubChunkBytes(stream);
    // 2. the text
    {
      TReadSubChunk text(stream);
      ReadTextAndFormat(stream, text_, format_);
      showText_ = stream.ReadBoolean();
    }
    // 3. the sound
    TReadSubChunk sound(stream);
    soundFileName_ = stream.ReadString();
    soundLength_ = stream.ReadInteger();
    durationFollowsSound_ = stream.ReadBoolean();
    lowerMusic_ = stream.ReadBoolean();
    volume_ = stream.ReadInteger();
    endMode_ = stream.ReadByte();
    if (stream.FileVersion() >= kSoundFadeOutVersion) fadeOutTime_ = stream.ReadInteger();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace nimbra
