#include "framework/Progress.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "framework/TickCount.h"

namespace nimbra {

NIMBRA_DEFINE_CLASS(TProgress, TObject)

// ---- TSingleProgress ----

TSingleProgress::TSingleProgress(int32_t minimum, int32_t maximum, std::string caption)
    : minimum_(minimum), maximum_(maximum), caption_(std::move(caption)) {}

void TSingleProgress::SetPosition(int32_t position) {
  if (position == position_) return;
  position_ = position;
  Notify(positionChanged_);
}

void TSingleProgress::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  Notify(textChanged_);
}

void TSingleProgress::SetMinimum(int32_t minimum) {
  if (minimum == minimum_) return;
  minimum_ = minimum;
  Notify(rangeChanged_);
}

void TSingleProgress::SetMaximum(int32_t maximum) {
  if (maximum == maximum_) return;
  maximum_ = maximum;
  Notify(rangeChanged_);
}

void TSingleProgress::SetPositionAndText(int32_t position, const std::string& text) {
  if (position == position_ && text == text_) return;
  position_ = position;
  text_ = text;
  Notify(positionChanged_);
}

void TSingleProgress::StepBy(const std::string& text, int32_t delta) {
  SetText(text);
  const int64_t moved =
      std::clamp<int64_t>(int64_t{position_} + delta, std::numeric_limits<int32_t>::min(),
                          std::numeric_limits<int32_t>::max());
  SetPosition(static_cast<int32_t>(moved));
}

void TSingleProgress::Finish() {
  SetPosition(maximum_);
}

void TSingleProgress::SetNotifications(TNotify positionChanged, TNotify rangeChanged,
                                       TNotify textChanged) {
  positionChanged_ = std::move(positionChanged);
  rangeChanged_ = std::move(rangeChanged);
  textChanged_ = std::move(textChanged);
}

void TSingleProgress::Notify(const TNotify& notify) {
  if (notify) notify(*this);
}

// ---- TProgress ----

TProgress::TProgress() = default;

// Steps still held are freed silently: nobody listens to a reporter that is going away.
TProgress::~TProgress() = default;

TSingleProgress* TProgress::AddStep(int32_t minimum, int32_t maximum, const std::string& caption) {
  return AddProgress(std::make_unique<TSingleProgress>(minimum, maximum, caption));
}

TSingleProgress* TProgress::AddProgress(std::unique_ptr<TSingleProgress> step) {
  if (!step) throw std::invalid_argument("TProgress::AddProgress: no step");
  step->SetNotifications([this](TSingleProgress& s) { PositionChanged(s); },
                         [this](TSingleProgress& s) { RangeChanged(s); },
                         [this](TSingleProgress& s) { TextChanged(s); });
  steps_.push_back(std::move(step));
  TSingleProgress* added = steps_.back().get();
  if (OnProgressAdded) OnProgressAdded(this, *added);
  return added;
}

void TProgress::RemoveStep(TSingleProgress* step) {
  if (step == nullptr) return;
  const auto found = std::find_if(steps_.rbegin(), steps_.rend(),
                                  [step](const auto& held) { return held.get() == step; });
  if (found == steps_.rend()) return;
  if (OnProgressDelete) OnProgressDelete(this, *step);
  // Looked up again: the handler may have added or removed steps meanwhile.
  if (std::erase_if(steps_, [step](const auto& held) { return held.get() == step; }) == 0) return;
  if (OnProgressDeleted) OnProgressDeleted(this);
}

void TProgress::RemoveStepAndNil(TSingleProgress*& step) {
  TSingleProgress* removing = step;
  step = nullptr;
  RemoveStep(removing);
}

void TProgress::PositionChanged(TSingleProgress& step) {
  if (ProcessMessages) {
    const uint64_t now = TickCount();
    if (now > lastProcessTime_ && now - lastProcessTime_ > MinProcessMessagesDelay) {
      if (MessagePump) MessagePump();
      lastProcessTime_ = now;
    }
  }
  if (OnProgress) OnProgress(this, step);
}

void TProgress::RangeChanged(TSingleProgress& step) {
  if (OnMinMaxChanged) OnMinMaxChanged(this, step);
}

void TProgress::TextChanged(TSingleProgress& step) {
  if (OnCaptionChanged) OnCaptionChanged(this, step);
}

}  // namespace nimbra
