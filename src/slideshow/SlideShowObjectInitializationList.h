// The preparation steps the player plans for a playable object before it starts: each step with
// its estimated cost, kept in the order the steps are to run, cheaper steps first among equals.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nimbra {

struct TSlideShowObjectInitialization {
  int32_t Cost = 0;   // estimated milliseconds
  int32_t Order = 0;
  int32_t Key = 0;    // the step number
};

class TSlideShowObjectInitializationList {
 public:
  int32_t Count() const { return static_cast<int32_t>(steps_.size()); }
  bool Empty() const { return steps_.empty(); }
  // Raises std::out_of_range outside the list.
  const TSlideShowObjectInitialization& Items(int32_t index) const {
    return steps_.at(static_cast<size_t>(index));
  }
  // Inserts the step where order, then cost, puts it (behind the steps that equal it).
  void Add(TSlideShowObjectInitialization step);
  // Removes the steps with this key; false when there was none.
  bool RemoveKey(int32_t key);
  int64_t TotalCost() const;
  // None when the list is empty.
  const TSlideShowObjectInitialization* First() const;
  const TSlideShowObjectInitialization* Last() const;
  void Clear() { steps_.clear(); }

  // The player's progress through the steps; -1 before the first.
  int32_t State() const { return state_; }
  void SetState(int32_t state) { state_ = state; }

 private:
  std::vector<TSlideShowObjectInitialization> steps_;
  int32_t state_ = -1;
};

}  // namespace nimbra
