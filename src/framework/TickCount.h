// The program's millisecond clock. Caches and progress reporters measure intervals on it; it is
// monotonic and 64 bits wide, so it neither runs backwards nor wraps however long the program runs.
// Its source is replaceable as a whole (a simulated clock drives time by hand); setting none
// returns to the system's steady clock.
#pragma once

#include <cstdint>

namespace nimbra {

using TTickSource = uint64_t (*)();

// Milliseconds on the current source; the system source counts from an arbitrary fixed start.
uint64_t TickCount();
void SetTickSource(TTickSource source);

}  // namespace nimbra
