#include "elements/DrawingRandom.h"

#include <utility>

namespace nimbra {

namespace {

TDrawingRandom& OwnGenerator() {
  static thread_local TDrawingRandom generator;
  return generator;
}

TDrawingRandom*& ScopedGenerator() {
  static thread_local TDrawingRandom* generator = nullptr;
  return generator;
}

}  // namespace

TDrawingRandom::TDrawingRandom() : generator_(std::random_device{}()) {}

TDrawingRandom& CurrentDrawingRandom() {
  TDrawingRandom* scoped = ScopedGenerator();
  return scoped != nullptr ? *scoped : OwnGenerator();
}

TDrawingRandomScope::TDrawingRandomScope(TDrawingRandom& random)
    : previous_(std::exchange(ScopedGenerator(), &random)) {}

TDrawingRandomScope::~TDrawingRandomScope() { ScopedGenerator() = previous_; }

double DrawingRandomFraction() { return CurrentDrawingRandom().Fraction(); }

uint32_t DrawingRandomNumber() { return CurrentDrawingRandom().Number(); }

void SeedDrawingRandom(uint32_t seed) { OwnGenerator().Seed(seed); }

}  // namespace nimbra
