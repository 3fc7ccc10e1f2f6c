// A progress step for the length of a scope, when there is a reporter to show it: the step is
// removed however the scope ends, so a failed page leaves no stale step behind.
#pragma once

#include <cstdint>
#include <string>

#include "framework/Progress.h"

namespace nimbra {

class TProgressStepScope {
 public:
  TProgressStepScope(TProgress* progress, int32_t minimum, int32_t maximum,
                     const std::string& caption)
      : progress_(progress),
        step_(progress != nullptr ? progress->AddStep(minimum, maximum, caption) : nullptr) {}
  ~TProgressStepScope() {
    if (progress_ != nullptr) progress_->RemoveStep(step_);
  }
  TProgressStepScope(const TProgressStepScope&) = delete;
  TProgressStepScope& operator=(const TProgressStepScope&) = delete;

  // Shows the text and moves one further.
  void StepBy(const std::string& text) {
    if (step_ != nullptr) step_->StepBy(text, 1);
  }

 private:
  TProgress* progress_;
  TSingleProgress* step_;
};

}  // namespace nimbra
