// The chance that goes into drawing a page: the small random turn of a picture element, the file a
// collage picture picks. Each thread draws from a generator of its own, seeded afresh unless a
// seed is given, so that a render can be repeated exactly (`nimbra-kit render --seed`).
#pragma once

#include <cstdint>

namespace nimbra {

// Uniform in [0, 1).
double DrawingRandomFraction();
// Any 32-bit number.
uint32_t DrawingRandomNumber();
// Restarts the calling thread's generator from seed.
void SeedDrawingRandom(uint32_t seed);

}  // namespace nimbra
