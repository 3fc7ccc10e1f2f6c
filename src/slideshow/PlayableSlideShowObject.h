// The base of every object the player plays: its own display time (or the document's default),
// its start time and delay, its keywords and its events. The events' classes come with the player;
// until then an object keeps its stored events as the bytes they were read as and writes them back
// unchanged.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/FieldMap.h"
#include "slideshow/SlideShowObject.h"
#include "slideshow/SlideShowObjectInitializationList.h"

namespace nimbra {

// A duration that stands for the document's default display time.
inline constexpr int32_t kDefaultDisplayTime = -1;

class TPlayableSlideShowObject : public TSlideShowObject,
                                 public virtual IPlayable,
                                 public virtual IKeywords,
                                 public virtual IPropertyFrame {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPlayableSlideShowObject();
  ~TPlayableSlideShowObject() override;

  // The player's preparation steps, made when first asked for.
  TSlideShowObjectInitializationList& Initializations();
  int32_t StartTime() const { return startTime_; }
  void SetStartTime(int32_t milliseconds) { startTime_ = milliseconds; }
  // Relative to the start of the enclosing parallel group.
  int32_t StartDelay() const { return startDelay_; }
  void SetStartDelay(int32_t milliseconds) { startDelay_ = milliseconds; }
  // The stored duration: kDefaultDisplayTime, or the object's own.
  int32_t StoredDuration() const { return duration_; }
  // Run-time only, never stored.
  int32_t Ordering() const { return ordering_; }
  void SetOrdering(int32_t value) { ordering_ = value; }
  uint8_t PlayState() const { return playState_; }
  void SetPlayState(uint8_t state) { playState_ = state; }
  // The stored event list (count and entries) exactly as read; a count of 0 without events.
  const std::string& EventData() const { return eventData_; }
  void SetEventData(std::string bytes);
  int32_t EventCount() const;
  // The event classes offered for the object, as far as they are registered.
  virtual std::vector<const TMetaClass*> EventClasses() const;

  // The own duration, or the document's default display time; 0 outside a document.
  int32_t PlayableDuration() const;

  void CopyFrom(const TSlideShowObject& other) override;
  int32_t Duration() const override { return PlayableDuration(); }
  void SetDuration(int32_t milliseconds) override { duration_ = milliseconds; }
  bool HasOwnDuration() const override { return duration_ != kDefaultDisplayTime; }
  void MapFields(TFieldMap& map) override;

  // IKeywords
  std::string Keywords() const override { return keywords_; }
  void SetKeywords(const std::string& keywords) override { keywords_ = keywords; }
  // IPropertyFrame
  const TMetaClass* PropertyFrameClass() const override { return nullptr; }
  std::string PropertyFrameClassName() const override;

 private:
  // The event list, kept as the bytes read: its length is found by walking its entries.
  TStoredPart EventListPart();

  std::unique_ptr<TSlideShowObjectInitializationList> initializations_;
  int32_t startTime_ = -1;
  int32_t startDelay_ = 0;
  int32_t duration_ = kDefaultDisplayTime;
  int32_t ordering_ = 0;
  uint8_t playState_ = 0;
  std::string eventData_;
  std::string keywords_;
};

// The event list bytes of an object without events: the count 0.
const std::string& EmptyEventData();
// Reads a stored event list and yields its bytes: a 32-bit count, then one sub-chunk per event.
// Raises the stream's errors when the entries do not fit in what remains of the frame.
std::string ReadEventData(TCSFStream& stream);

}  // namespace nimbra
