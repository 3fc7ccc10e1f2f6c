#include "elements/DrawingRandom.h"

#include <random>

namespace nimbra {

namespace {

std::mt19937& Generator() {
  static thread_local std::mt19937 generator{std::random_device{}()};
  return generator;
}

}  // namespace

double DrawingRandomFraction() {
  return std::uniform_real_distribution<double>(0.0, 1.0)(Generator());
}

uint32_t DrawingRandomNumber() { return static_cast<uint32_t>(Generator()()); }

void SeedDrawingRandom(uint32_t seed) { Generator().seed(seed); }

}  // namespace nimbra
