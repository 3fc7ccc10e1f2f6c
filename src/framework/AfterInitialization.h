// Steps that units queue while the program initialises and that run once start-up has finished
// (the single-instance guard, the captions of global settings bags that follow the user-interface
// language loaded during start-up).
#pragma once

#include <deque>
#include <functional>
#include <mutex>

namespace nimbra {

class TAfterInitialization {
 public:
  using TStep = std::function<void()>;

  void AddStep(TStep step);
  // Runs the queued steps in the order they were added and forgets each before it runs, so a step
  // runs once. A step that raises stops the run; the steps after it stay queued.
  void RunSteps();
  size_t Count() const;

 private:
  mutable std::mutex mutex_;
  std::deque<TStep> steps_;
};

// The program's list.
TAfterInitialization& AfterInitialization();

}  // namespace nimbra
