#include "slideshow/SoundSlideShowObject.h"

#include <algorithm>

#include "framework/FieldMap.h"
#include "slideshow/MusicProperties.h"
#include "slideshow/SlideShow.h"
#include "storage/TextCase.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TSoundSlideShowObject, TPlayableSlideShowObject)

int32_t MusicFadeTime(const TSlideShowObject& object) {
  if (const TSlideShow* document = object.SlideShow()) {
    return document->MusicProperties().DuckFadeTime();
  }
  static const TMusicProperties defaults;
  return defaults.DuckFadeTime();
}

std::vector<std::string> FilterExtensions(const std::string& filter) {
  // The filter alternates descriptions and pattern lists; the patterns are every second field.
  std::vector<std::string> extensions;
  const std::vector<std::string> fields = [&filter] {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t bar = filter.find('|');; bar = filter.find('|', start)) {
      parts.push_back(filter.substr(start, bar - start));
      if (bar == std::string::npos) break;
      start = bar + 1;
    }
    return parts;
  }();
  for (size_t i = 1; i < fields.size(); i += 2) {
    size_t start = 0;
    const std::string& patterns = fields[i];
    while (start <= patterns.size()) {
      size_t end = patterns.find(';', start);
      if (end == std::string::npos) end = patterns.size();
      std::string pattern = patterns.substr(start, end - start);
      if (pattern.rfind("*.", 0) == 0) pattern.erase(0, 2);
      if (!pattern.empty()) extensions.push_back(LowerCase(pattern));
      start = end + 1;
    }
  }
  return extensions;
}

std::string TSoundSlideShowObject::ClassFileFilter() {
  return "WAV-Dateien (*.wav)|*.wav|OGG Vorbis-Dateien (*.ogg)|*.ogg|MP3-Dateien (*.mp3)|*.mp3|"
         "MP2-Dateien (*.mp2)|*.mp2|AIFF-Dateien (*.aiff)|*.aiff|Advanced Streaming Format "
         "(*.asf)|*.asf|Windows Media Audio (*.wma)|*.wma|Windows Media Audio (*.wmv)|*.wmv"
         "|"
         "XM/FastTracker-Musik (*.xm)|*.xm|IT/Impulse Tracker-Musik (*.it)|*.it|MOD-Musik "
         "(*.mod)|*.mod|S3M/Scream Tracker-Musik (*.s3m)|*.s3m"
         "|"
         "MIDI-Dateien (*.mid;*.rmi)|*.mid;*.rmi";
}

int32_t TSoundSlideShowObject::Duration() const {
  const int64_t playable = PlayableDuration();
  const int64_t length = soundLength_ != kUnknownSoundLength ? soundLength_ : playable;
  const int64_t base = durationFollowsSound_ ? length : playable;
  int64_t duration = std::min(base, std::max<int64_t>(0, length - startPosition_));
  if (lowerMusic_) duration += 2 * static_cast<int64_t>(MusicFadeTime(*this));
  return static_cast<int32_t>(std::clamp<int64_t>(duration, INT32_MIN, INT32_MAX));
}

void TSoundSlideShowObject::CopyFrom(const TSlideShowObject& other) {
  TPlayableSlideShowObject::CopyFrom(other);
  const auto* source = dynamic_cast<const TSoundSlideShowObject*>(&other);
  if (source == nullptr) return;
  fileName_ = source->fileName_;
  soundLength_ = source->soundLength_;
  durationFollowsSound_ = source->durationFollowsSound_;
  lowerMusic_ = source->lowerMusic_;
  volume_ = source->volume_;
  endMode_ = source->endMode_;
  fadeOutTime_ = source->fadeOutTime_;
  startPosition_ = source->startPosition_;
  volumeCurveData_ = source->volumeCurveData_;
}

std::vector<std::string> TSoundSlideShowObject::FileExtensions() const {
  return FilterExtensions(ClassFileFilter());
}

std::string TSoundSlideShowObject::PropertyFrameClassName() const {
  return "TSoundSlideShowObjectPropertyFrame";
}

void TSoundSlideShowObject::SetFileName(const std::string& name) {
  if (name == fileName_) return;
  fileName_ = name;
  Changed(kChangeFileName);
}

void MapSoundFields(TFieldMap& map, const TSoundFields& sound) {
  map.String("soundFileName", sound.FileName);
  map.Integer("soundLength", sound.SoundLength);
  map.Boolean("durationFollowsSound", sound.DurationFollowsSound);
  map.Boolean("lowerMusic", sound.LowerMusic);
  map.Integer("volume", sound.Volume);
  map.Byte("endMode", sound.EndMode);
  if (map.Since(kSoundFadeOutVersion)) map.Integer("fadeOutTime", sound.FadeOutTime);
}

void TSoundSlideShowObject::MapFields(TFieldMap& map) {
  TPlayableSlideShowObject::MapFields(map);
  MapSoundFields(map, {fileName_, soundLength_, durationFollowsSound_, lowerMusic_, volume_,
                       endMode_, fadeOutTime_});
  if (map.Since(kSoundStartPositionVersion)) {
    map.Integer("startPosition", startPosition_);
    map.SubChunkBytes("volumeCurve", volumeCurveData_);
  }
}

}  // namespace nimbra
