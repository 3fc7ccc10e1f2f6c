// A sound or music file played as an object of the show: how long it lasts, how it ends, how loud
// it plays and whether the background music gives way to it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "slideshow/PlayableSlideShowObject.h"
#include "slideshow/SingleFileReferences.h"

namespace nimbra {

// Change codes of file name changes.
inline constexpr int32_t kChangeFileName = 40;
inline constexpr int32_t kChangeFileNameAndLength = 42;

// A sound length that was never measured.
inline constexpr int32_t kUnknownSoundLength = -1;

// How a sound ends, numbered as stored.
enum class TSoundEndMode : uint8_t { FadeOut = 0, Stop = 1, AtLeastSound = 2 };

// Document versions from which sounds store further fields.
inline constexpr int32_t kSoundFadeOutVersion = 770;
inline constexpr int32_t kSoundStartPositionVersion = 772;

// The fields of a sound that the sound object and the composite's sound part store alike.
struct TSoundFields {
  std::string& FileName;
  int32_t& SoundLength;
  bool& DurationFollowsSound;
  bool& LowerMusic;
  int32_t& Volume;
  uint8_t& EndMode;
  int32_t& FadeOutTime;
};
// Lists them in their stored order; the fade-out time came with kSoundFadeOutVersion.
void MapSoundFields(TFieldMap& map, const TSoundFields& sound);

class TSoundSlideShowObject : public TPlayableSlideShowObject,
                              public TSingleFileReferences,
                              public virtual ISoundSource {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TSoundSlideShowObject() = default;

  static std::string ClassCaption() { return "Sound"; }
  static std::string ClassDescription() { return "Eine beliebige Sound- oder Musikdatei"; }
  // The file-open filter of sounds: sampled formats, tracker music, MIDI.
  static std::string ClassFileFilter();

  int32_t SoundLength() const { return soundLength_; }
  void SetSoundLength(int32_t milliseconds) { soundLength_ = milliseconds; }
  bool DurationFollowsSound() const { return durationFollowsSound_; }
  void SetDurationFollowsSound(bool follows) { durationFollowsSound_ = follows; }
  bool LowerMusic() const { return lowerMusic_; }
  void SetLowerMusic(bool lower) { lowerMusic_ = lower; }
  // 0 to 255.
  int32_t Volume() const { return volume_; }
  void SetVolume(int32_t volume) { volume_ = volume; }
  uint8_t EndMode() const { return endMode_; }
  void SetEndMode(uint8_t mode) { endMode_ = mode; }
  int32_t FadeOutTime() const { return fadeOutTime_; }
  void SetFadeOutTime(int32_t milliseconds) { fadeOutTime_ = milliseconds; }
  int32_t StartPosition() const { return startPosition_; }
  void SetStartPosition(int32_t milliseconds) { startPosition_ = milliseconds; }
  // The volume curve in its stored form; empty when there is none. Kept as the bytes it was read
  // as until time curves are built, so it is written back unchanged.
  const std::string& VolumeCurveData() const { return volumeCurveData_; }
  void SetVolumeCurveData(std::string bytes) { volumeCurveData_ = std::move(bytes); }

  // The sound's length (or the playable duration) from the start position on; plus the music's
  // fade down and up again when the music gives way.
  int32_t Duration() const override;
  void CopyFrom(const TSlideShowObject& other) override;
  std::vector<std::string> FileExtensions() const override;
  std::string FileFilter() const override { return ClassFileFilter(); }
  std::string PropertyFrameClassName() const override;
  void MapFields(TFieldMap& map) override;

  // IFileReferences. Without a sound library nothing can open the sound, so the stored length
  // stays and the change is reported as a file name change.
  void SetFileName(const std::string& name) override;
  std::string GetStoredFileName() const override { return fileName_; }

 private:
  std::string fileName_;
  int32_t soundLength_ = kUnknownSoundLength;
  bool durationFollowsSound_ = true;
  bool lowerMusic_ = true;
  int32_t volume_ = 255;
  uint8_t endMode_ = static_cast<uint8_t>(TSoundEndMode::Stop);
  int32_t fadeOutTime_ = 1000;
  int32_t startPosition_ = 0;
  std::string volumeCurveData_;
};

// The background music's fade time of the object's document (the settings' default outside one).
int32_t MusicFadeTime(const TSlideShowObject& object);
// The extensions a file-open filter lists ("*.wav;*.ogg" patterns), lower case, without the dot.
std::vector<std::string> FilterExtensions(const std::string& filter);

}  // namespace nimbra
