#include "raster/PixelMemory.h"

#include <sys/mman.h>

#include <cstdint>
#include <mutex>
#include <new>
#include <utility>

namespace nimbra {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

size_t RoundedUp(size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

struct TBlock {
  void* Start = nullptr;
  size_t Size = 0;
};

// The block given back last is kept for the next request of its size: the pictures of a page are
// often fitted into boxes of one size, and a block kept is not faulted in again. Any other request
// unmaps it first, so that it never adds to what is held at once. Puts block (or none) in its
// place and yields the one that was there.
TBlock ExchangeSpare(TBlock block) {
  static std::mutex lock;
  static TBlock spare;
  const std::lock_guard hold(lock);
  return std::exchange(spare, block);
}

void Unmap(const TBlock& block) {
  if (block.Start != nullptr) munmap(block.Start, block.Size);
}

}  // namespace

void* AllocateLargePixels(size_t bytes) {
  if (bytes > SIZE_MAX - 2 * kHugePage) throw std::bad_alloc();
  const size_t size = RoundedUp(bytes);
  const TBlock kept = ExchangeSpare({});
  if (kept.Start != nullptr && kept.Size == size) return kept.Start;
  Unmap(kept);
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
  // Huge pages are not asked for: where the system is a virtual machine that hands freed memory
  // back to its host, a huge page taken after a pause is faulted in again by the host, at several
  // times the cost of small pages, and an album changes after a pause. Systems that give
  // huge pages unasked still can.
  return reinterpret_cast<void*>(aligned);
}

void FreeLargePixels(void* block, size_t bytes) noexcept {
  if (block != nullptr) Unmap(ExchangeSpare({block, RoundedUp(bytes)}));
}

void ReleaseSparePixels() noexcept { Unmap(ExchangeSpare({})); }

}  // namespace nimbra
