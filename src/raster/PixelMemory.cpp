#include "raster/PixelMemory.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace nimbra {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

size_t RoundedUp(size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

}  // namespace

void* AllocateLargePixels(size_t bytes) {
  if (bytes > SIZE_MAX - 2 * kHugePage) throw std::bad_alloc();
  const size_t size = RoundedUp(bytes);
  // One huge page more than needed, so that a boundary lies within the first; the rest is given
  // back.
  const size_t mapped = size + kHugePage;
  void* area = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (area == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<uintptr_t>(area);
  const uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
  if (aligned > start) munmap(area, aligned - start);
  const uintptr_t end = start + mapped;
  if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
  // A hint: without huge pages the block works the same, in small pages.
  madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

void FreeLargePixels(void* block, size_t bytes) noexcept {
  if (block != nullptr) munmap(block, RoundedUp(bytes));
}

}  // namespace nimbra
