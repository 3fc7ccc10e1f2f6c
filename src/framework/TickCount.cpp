#include "framework/TickCount.h"

#include <atomic>
#include <chrono>

namespace nimbra {

namespace {

uint64_t SteadyTickCount() {
  using namespace std::chrono;
  return static_cast<uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Atomic because the render thread reads the clock while the main thread may install a source.
std::atomic<TTickSource> tickSource{&SteadyTickCount};

}  // namespace

uint64_t TickCount() {
  return tickSource.load()();
}

void SetTickSource(TTickSource source) {
  tickSource.store(source != nullptr ? source : &SteadyTickCount);
}

}  // namespace nimbra
