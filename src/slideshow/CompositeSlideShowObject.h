// The picture-text-sound composite: a picture with a caption text drawn over it and a sound that
// plays with it, as one object. For the player it builds a sound object of its own sound.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "slideshow/PicSlideShowObject.h"
#include "slideshow/SoundSlideShowObject.h"
#include "slideshow/TextSlideShowObject.h"

namespace nimbra {

class TTransitionPlugin;

// The composite's text format: at the bottom of the screen, with no free rectangle.
TTextFormat DefaultCompositeTextFormat();

class TPicTextSoundCompositeSlideShowObject : public TPicSlideShowObject,
                                              public virtual IText,
                                              public virtual ITextFormat,
                                              public virtual ISoundSource,
                                              public virtual IComposite {
  NIMBRA_DECLARE_PLUGIN()

 public:
  // A random transition, no text shown yet, no sound.
  TPicTextSoundCompositeSlideShowObject();
  ~TPicTextSoundCompositeSlideShowObject() override;

  static std::string ClassCaption() { return "Bild, Text, Sound"; }
  static std::string ClassDescription() {
    return "Objekt das ein Bild, einen Text und einen Sound vereint";
  }

  // The transition's stored entry, as the extended picture keeps it.
  const std::string& TransitionData() const { return transitionData_; }
  void SetTransitionData(std::string bytes) { transitionData_ = std::move(bytes); }
  std::unique_ptr<TTransitionPlugin> Transition() const;
  void SetTransition(const TTransitionPlugin* transition);

  // IText
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }
  const TTextFormat& Format() const { return format_; }
  void SetFormat(const TTextFormat& format) { format_ = format; }
  bool ShowText() const { return showText_; }
  void SetShowText(bool show) { showText_ = show; }
  // The text is drawn only when it is shown and not empty.
  bool TextVisible() const { return showText_ && !text_.empty(); }

  const std::string& SoundFileName() const { return soundFileName_; }
  void SetSoundFileName(const std::string& name) { soundFileName_ = name; }
  int32_t SoundLength() const { return soundLength_; }
  void SetSoundLength(int32_t milliseconds) { soundLength_ = milliseconds; }
  bool DurationFollowsSound() const { return durationFollowsSound_; }
  void SetDurationFollowsSound(bool follows) { durationFollowsSound_ = follows; }
  bool LowerMusic() const { return lowerMusic_; }
  void SetLowerMusic(bool lower) { lowerMusic_ = lower; }
  int32_t Volume() const { return volume_; }
  void SetVolume(int32_t volume) { volume_ = volume; }
  uint8_t EndMode() const { return endMode_; }
  void SetEndMode(uint8_t mode) { endMode_ = mode; }
  int32_t FadeOutTime() const { return fadeOutTime_; }
  void SetFadeOutTime(int32_t milliseconds) { fadeOutTime_ = milliseconds; }

  // IComposite: frees the parts built before and builds them anew: a sound object of the
  // composite's sound when it has one, nothing otherwise. The composite owns the parts.
  const std::vector<std::unique_ptr<TSlideShowObject>>& BuildParts();
  const std::vector<std::unique_ptr<TSlideShowObject>>& Parts() const { return parts_; }

  // The sound's length when the duration follows a measured sound, else the playable duration;
  // plus the music's fade down and up again when a sound lowers it.
  int32_t Duration() const override;
  void CopyFrom(const TSlideShowObject& other) override;
  std::string PropertyFrameClassName() const override;
  // Three sub-chunks: the transition, the text, the sound.
  void MapFields(TFieldMap& map) override;

 private:
  std::string transitionData_;
  std::string text_;
  TTextFormat format_;
  bool showText_ = true;
  std::string soundFileName_;
  int32_t soundLength_ = kUnknownSoundLength;
  bool durationFollowsSound_ = true;
  bool lowerMusic_ = true;
  int32_t volume_ = 255;
  uint8_t endMode_ = static_cast<uint8_t>(TSoundEndMode::Stop);
  int32_t fadeOutTime_ = 1000;
  std::vector<std::unique_ptr<TSlideShowObject>> parts_;
};

}  // namespace nimbra
