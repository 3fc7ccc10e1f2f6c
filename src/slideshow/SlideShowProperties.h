// The slideshow settings of a document: default display time, picture quality and the resampling
// filters derived from it, what happens at the end of a show, which transitions the random
// transition may not pick, and which player plays the show.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Properties.h"

namespace nimbra {

// Resampling filters, numbered as stored.
inline constexpr uint8_t kFilterNearest = 0;
inline constexpr uint8_t kFilterBox = 1;
inline constexpr uint8_t kFilterLinear = 2;
inline constexpr uint8_t kFilterCosine = 3;
inline constexpr uint8_t kFilterSpline = 4;
inline constexpr uint8_t kFilterLanczos = 5;
inline constexpr uint8_t kFilterMitchell = 6;

// The bases of player and transition plug-ins, recognised by name: players live in the player layer
// above this library.
inline constexpr const char* kSlideShowPlayerBaseName = "TSlideShowPlayer";
inline constexpr const char* kTransitionPluginBaseName = "TTransitionPlugin";

struct TStoredPart;

class TSlideShowProperties : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TSlideShowProperties();

  // The first player class of the main registry, or none when no player is registered.
  static const TPluginClass* DefaultPlayerClass();
  // The registered transition classes whose sample instance is switched off, in registration order.
  static std::vector<const TMetaClass*> DefaultSwitchedOffTransitions();

  const TPluginClass* PlayerClass() const { return playerClass_; }
  void SetPlayerClass(const TPluginClass* playerClass) { playerClass_ = playerClass; }
  int32_t DefaultDisplayTime() const { return defaultDisplayTime_; }
  void SetDefaultDisplayTime(int32_t milliseconds) { defaultDisplayTime_ = milliseconds; }
  // 0 to 3 are presets; any other value uses the custom filters.
  uint8_t PictureQuality() const { return pictureQuality_; }
  void SetPictureQuality(uint8_t quality) { pictureQuality_ = quality; }
  uint8_t CustomPictureFilter() const { return customPictureFilter_; }
  void SetCustomPictureFilter(uint8_t filter) { customPictureFilter_ = filter; }
  // 0 restart, 1 close, 2 and 3 ask.
  uint8_t EndAction() const { return endAction_; }
  void SetEndAction(uint8_t action) { endAction_ = action; }
  // Off: a show the user ends is closed at once.
  bool EndFlag() const { return endFlag_; }
  void SetEndFlag(bool flag) { endFlag_ = flag; }
  const std::vector<const TMetaClass*>& SwitchedOffTransitions() const {
    return switchedOffTransitions_;
  }
  void SetSwitchedOffTransitions(std::vector<const TMetaClass*> classes) {
    switchedOffTransitions_ = std::move(classes);
  }
  bool TransitionsOff() const { return transitionsOff_; }
  void SetTransitionsOff(bool off) { transitionsOff_ = off; }
  // The filter used when pictures are prepared, as stored.
  uint8_t PreparationFilter() const { return preparationFilter_; }
  void SetPreparationFilter(uint8_t filter) { preparationFilter_ = filter; }
  // Two settings nothing reads; they keep their place in the stored form.
  int32_t Reserved1() const { return reserved1_; }
  void SetReserved1(int32_t value) { reserved1_ = value; }
  int32_t Reserved2() const { return reserved2_; }
  void SetReserved2(int32_t value) { reserved2_ = value; }
  bool RandomOrder() const { return randomOrder_; }
  void SetRandomOrder(bool random) { randomOrder_ = random; }

  // For pictures drawn at screen size.
  uint8_t PictureFilter() const;
  // For pictures that move or zoom during playback. A custom quality has no animation filter of
  // its own to store, so it animates with nearest neighbour.
  uint8_t AnimationFilter() const;

  std::string EditorFrameClassNames() const override;
  // Four sub-chunks: the main settings, random order, the transitions, the player.
  void MapFields(TFieldMap& map) override;

 private:
  TStoredPart SwitchedOffTransitionsPart();

  const TPluginClass* playerClass_;
  int32_t defaultDisplayTime_ = 5000;
  uint8_t pictureQuality_ = 1;
  uint8_t customPictureFilter_ = kFilterLinear;
  uint8_t endAction_ = 0;
  bool endFlag_ = true;
  std::vector<const TMetaClass*> switchedOffTransitions_;
  bool transitionsOff_ = false;
  uint8_t preparationFilter_ = kFilterNearest;
  int32_t reserved1_ = 3;
  int32_t reserved2_ = 4;
  bool randomOrder_ = false;
};

}  // namespace nimbra
