// Memory for large pixel blocks (pages, photos). A page of a 4K screen is 33 MB, written once per
// change; faulting it in costs about as much as drawing into it. Blocks from kLargePixelBlock up
// are mapped on their own, on huge-page boundaries. The block freed last is kept for the next
// request of its size, and returned to the system by ReleaseSparePixels or any other request, so
// that an album running for weeks does not keep a heap grown by its largest photo.
#pragma once

#include <cstddef>

namespace nimbra {

inline constexpr size_t kLargePixelBlock = size_t{2} << 20;

// bytes of memory, at least kLargePixelBlock; raises std::bad_alloc when none is to be had.
void* AllocateLargePixels(size_t bytes);
// Gives back a block of AllocateLargePixels with the same byte count.
void FreeLargePixels(void* block, size_t bytes) noexcept;
// Returns the kept block to the system: for the end of a piece of work, before the program idles.
void ReleaseSparePixels() noexcept;

}  // namespace nimbra
