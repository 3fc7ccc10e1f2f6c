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

// The block given back last, kept for the next request of its size: the pictures of a page are
// often fitted into boxes of one size, and a block kept is not faulted in again. Any other request
// unmaps it first, so that it never adds to what is held at once.
struct TSpareBlock {
  std::mutex Lock;
  void* Block = nullptr;
  size_t Size = 0;
};

TSpareBlock& Spare() {
  static TSpareBlock spare;
  return spare;
}

// Takes the spare block when it is of size; else unmaps it.
void* TakeSpare(size_t size) {
  TSpareBlock& spare = Spare();
  void* unwanted = nullptr;
  size_t unwantedSize = 0;
  {
    const std::lock_guard lock(spare.Lock);
    if (spare.Block == nullptr) return nullptr;
    if (spare.Size == size) return std::exchange(spare.Block, nullptr);
    unwanted = std::exchange(spare.Block, nullptr);
    unwantedSize = spare.Size;
  }
  munmap(unwanted, unwantedSize);
  return nullptr;
}

}  // namespace

void* AllocateLargePixels(size_t bytes) {
  if (bytes > SIZE_MAX - 2 * kHugePage) throw std::bad_alloc();
  const size_t size = RoundedUp(bytes);
  if (void* kept = TakeSpare(size)) return kept;
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
  if (block == nullptr) return;
  TSpareBlock& spare = Spare();
  void* older = nullptr;
  size_t olderSize = 0;
  {
    const std::lock_guard lock(spare.Lock);
    older = std::exchange(spare.Block, block);
    olderSize = std::exchange(spare.Size, RoundedUp(bytes));
  }
  if (older != nullptr) munmap(older, olderSize);
}

void ReleaseSparePixels() noexcept {
  TSpareBlock& spare = Spare();
  void* block = nullptr;
  size_t size = 0;
  {
    const std::lock_guard lock(spare.Lock);
    block = std::exchange(spare.Block, nullptr);
    size = spare.Size;
  }
  if (block != nullptr) munmap(block, size);
}

}  // namespace nimbra
