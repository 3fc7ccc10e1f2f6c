// A clock the test moves by hand, installed as the program's tick source for the test's lifetime.
#pragma once

#include <cstdint>

#include "framework/TickCount.h"

namespace nimbra::test {

class ManualTickSource {
 public:
  explicit ManualTickSource(uint64_t start = 1'000'000) {
    now_ = start;
    SetTickSource(&Now);
  }
  ~ManualTickSource() { SetTickSource(nullptr); }
  ManualTickSource(const ManualTickSource&) = delete;
  ManualTickSource& operator=(const ManualTickSource&) = delete;

  void Advance(uint64_t milliseconds) { now_ += milliseconds; }
  static uint64_t Now() { return now_; }

 private:
  static inline uint64_t now_ = 0;
};

}  // namespace nimbra::test
