// Progress of long operations as a stack of nested steps, reported without depending on any
// window: the reporter raises events that a user interface may show, and it can give that
// interface a chance to handle its pending messages while the work goes on.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "storage/ClassRegistry.h"

namespace nimbra {

// One step of the work: a range, a position within it, a fixed caption and a changing text.
// The reporter that holds the step installs its notifications.
class TSingleProgress {
 public:
  using TNotify = std::function<void(TSingleProgress& progress)>;

  TSingleProgress(int32_t minimum, int32_t maximum, std::string caption);
  TSingleProgress(const TSingleProgress&) = delete;
  TSingleProgress& operator=(const TSingleProgress&) = delete;

  int32_t Minimum() const { return minimum_; }
  int32_t Maximum() const { return maximum_; }
  int32_t Position() const { return position_; }
  const std::string& Caption() const { return caption_; }
  const std::string& Text() const { return text_; }

  // Each notifies only when the value changes.
  void SetPosition(int32_t position);
  void SetText(const std::string& text);
  void SetMinimum(int32_t minimum);
  void SetMaximum(int32_t maximum);
  // Stores both and notifies the position once when either changed.
  void SetPositionAndText(int32_t position, const std::string& text);
  // SetText, then moves the position by delta (held at the bounds of a 32-bit position).
  void StepBy(const std::string& text, int32_t delta);
  // Moves the position to the maximum.
  void Finish();

  void SetNotifications(TNotify positionChanged, TNotify rangeChanged, TNotify textChanged);

 private:
  void Notify(const TNotify& notify);

  int32_t minimum_;
  int32_t maximum_;
  int32_t position_ = 0;
  std::string caption_;
  std::string text_;
  TNotify positionChanged_;
  TNotify rangeChanged_;
  TNotify textChanged_;
};

using TOnProgressNotifyEvent = std::function<void(TObject* sender, TSingleProgress& progress)>;
using TNotifyEvent = std::function<void(TObject* sender)>;

class TProgress : public TObject {
  NIMBRA_DECLARE_CLASS()

 public:
  TProgress();
  ~TProgress() override;
  TProgress(const TProgress&) = delete;
  TProgress& operator=(const TProgress&) = delete;

  // Creates a step and adds it; the reporter owns it.
  TSingleProgress* AddStep(int32_t minimum, int32_t maximum, const std::string& caption);
  // Takes the step over, wires its notifications to this reporter and raises OnProgressAdded.
  TSingleProgress* AddProgress(std::unique_ptr<TSingleProgress> step);
  // Frees the step with OnProgressDelete before and OnProgressDeleted after; a step that is not
  // held here is ignored. The newest steps are looked at first, as steps nest.
  void RemoveStep(TSingleProgress* step);
  // RemoveStep, and the caller's pointer becomes none.
  void RemoveStepAndNil(TSingleProgress*& step);

  int32_t StepCount() const { return static_cast<int32_t>(steps_.size()); }
  TSingleProgress& Steps(int32_t index) { return *steps_.at(static_cast<size_t>(index)); }

  // Letting a user interface handle its pending messages. This library has no message loop of
  // its own: the interface installs the pump, and nothing happens while none is installed.
  bool ProcessMessages = false;
  uint32_t MinProcessMessagesDelay = 500;
  std::function<void()> MessagePump;
  uint64_t LastProcessTime() const { return lastProcessTime_; }

  TOnProgressNotifyEvent OnProgress;
  TOnProgressNotifyEvent OnMinMaxChanged;
  TOnProgressNotifyEvent OnCaptionChanged;
  TOnProgressNotifyEvent OnProgressAdded;
  TOnProgressNotifyEvent OnProgressDelete;
  TNotifyEvent OnProgressDeleted;
  // Kept for users that expect them; the reporter itself never raises them.
  TNotifyEvent OnFinished;
  TNotifyEvent OnCancel;

 private:
  void PositionChanged(TSingleProgress& step);
  void RangeChanged(TSingleProgress& step);
  void TextChanged(TSingleProgress& step);

  std::vector<std::unique_ptr<TSingleProgress>> steps_;
  uint64_t lastProcessTime_ = 0;
};

}  // namespace nimbra
