// The background-music settings of a slideshow document: whether music plays, how the show fades
// out at its end, how the music is lowered under sound objects, and the play list.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Properties.h"
#include "slideshow/MusicPlayList.h"

namespace nimbra {

class TSlideShow;
struct TStoredPart;

class TMusicProperties : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TMusicProperties() = default;

  // The document this bag belongs to, set by the document; not stored and not copied.
  TSlideShow* SlideShow() const { return slideShow_; }
  void SetSlideShow(TSlideShow* slideShow) { slideShow_ = slideShow; }

  bool MusicOn() const { return musicOn_; }
  void SetMusicOn(bool on) { musicOn_ = on; }
  bool FadeOutAtEnd() const { return fadeOutAtEnd_; }
  void SetFadeOutAtEnd(bool fade) { fadeOutAtEnd_ = fade; }
  // Also added to the show's total duration while music is on.
  int32_t FadeOutDuration() const { return fadeOutDuration_; }
  void SetFadeOutDuration(int32_t milliseconds) { fadeOutDuration_ = milliseconds; }
  bool RepeatList() const { return repeatList_; }
  void SetRepeatList(bool repeat) { repeatList_ = repeat; }
  // 0 to 255.
  int32_t MusicVolume() const { return musicVolume_; }
  void SetMusicVolume(int32_t volume) { musicVolume_ = volume; }
  bool FollowShow() const { return followShow_; }
  void SetFollowShow(bool follow) { followShow_ = follow; }
  // How long the music takes to go down before, and up after, a sound object that asks for it.
  int32_t DuckFadeTime() const { return duckFadeTime_; }
  void SetDuckFadeTime(int32_t milliseconds) { duckFadeTime_ = milliseconds; }
  // The low byte is the music's volume while such a sound plays.
  int32_t DuckVolume() const { return duckVolume_; }
  void SetDuckVolume(int32_t volume) { duckVolume_ = volume; }
  TMusicPlayList& PlayList() { return playList_; }
  const TMusicPlayList& PlayList() const { return playList_; }
  bool PerObjectSoundLists() const { return perObjectSoundLists_; }
  void SetPerObjectSoundLists(bool perObject) { perObjectSoundLists_ = perObject; }

  // Music is on, the show fades out at its end, and there is something to play.
  bool BackgroundMusicActive() const;

  std::string EditorFrameClassNames() const override;
  // Documents before version 772 hold the music volume in one byte. Tools are shown the play
  // list as its item count and its file names, one per line.
  void MapFields(TFieldMap& map) override;

 private:
  TStoredPart PlayListPart();

  TSlideShow* slideShow_ = nullptr;
  bool musicOn_ = true;
  bool fadeOutAtEnd_ = true;
  int32_t fadeOutDuration_ = 2000;
  bool repeatList_ = true;
  int32_t musicVolume_ = 255;
  bool followShow_ = false;
  int32_t duckFadeTime_ = 300;
  int32_t duckVolume_ = 40;
  TMusicPlayList playList_;
  bool perObjectSoundLists_ = false;
};

}  // namespace nimbra
