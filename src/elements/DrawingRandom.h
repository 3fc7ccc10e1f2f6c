// The chance that goes into drawing a page: the small random turn of a picture element, the file a
// collage picture picks. A render context names the generator its drawing takes chance from.
// Pages drawn one after the other share their thread's generator, which `nimbra-kit render
// --seed` seeds, so that a render can be repeated exactly; pages drawn at the same time each get a
// generator of their own, so that what one page draws never depends on when another one draws.
#pragma once

#include <cstdint>
#include <random>

namespace nimbra {

class TDrawingRandom {
 public:
  // Seeded afresh from the system's entropy.
  TDrawingRandom();
  explicit TDrawingRandom(uint32_t seed) : generator_(seed) {}

  // Uniform in [0, 1).
  double Fraction() { return std::uniform_real_distribution<double>(0.0, 1.0)(generator_); }
  // Any 32-bit number.
  uint32_t Number() { return static_cast<uint32_t>(generator_()); }
  void Seed(uint32_t seed) { generator_.seed(seed); }

 private:
  std::mt19937 generator_;
};

// The calling thread's current generator: the one a TDrawingRandomScope put in place, otherwise
// the thread's own, seeded afresh.
TDrawingRandom& CurrentDrawingRandom();

// Makes a generator the calling thread's current one for the scope's life: objects that draw
// chance while a page is built, before any context reaches them (a collage picture's seed), then
// draw it from the page's generator.
class TDrawingRandomScope {
 public:
  explicit TDrawingRandomScope(TDrawingRandom& random);
  ~TDrawingRandomScope();
  TDrawingRandomScope(const TDrawingRandomScope&) = delete;
  TDrawingRandomScope& operator=(const TDrawingRandomScope&) = delete;

 private:
  TDrawingRandom* previous_;
};

// From the current generator.
double DrawingRandomFraction();
uint32_t DrawingRandomNumber();
// Restarts the calling thread's own generator from seed.
void SeedDrawingRandom(uint32_t seed);

}  // namespace nimbra
