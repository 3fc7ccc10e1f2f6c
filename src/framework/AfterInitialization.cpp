#include "framework/AfterInitialization.h"

#include <utility>

namespace nimbra {

void TAfterInitialization::AddStep(TStep step) {
  std::lock_guard<std::mutex> lock(mutex_);
  steps_.push_back(std::move(step));
}

void TAfterInitialization::RunSteps() {
  for (;;) {
    TStep step;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (steps_.empty()) return;
      step = std::move(steps_.front());
      steps_.pop_front();
    }
    // Outside the lock: a step may queue further steps, which then run in this same pass.
    if (step) step();
  }
}

size_t TAfterInitialization::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return steps_.size();
}

TAfterInitialization& AfterInitialization() {
  static TAfterInitialization list;
  return list;
}

}  // namespace nimbra
