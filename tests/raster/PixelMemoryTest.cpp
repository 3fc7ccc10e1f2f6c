#include <gtest/gtest.h>
#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "raster/PixelMemory.h"

namespace nimbra {
namespace {

// Whether any page of the block is still mapped: mincore fails with ENOMEM where nothing is.
bool Mapped(void* block, size_t bytes) {
  unsigned char resident[64];
  errno = 0;
  return mincore(block, std::min<size_t>(bytes, sizeof resident * 4096), resident) == 0 ||
         errno != ENOMEM;
}

TEST(PixelMemoryTest, TheBlockFreedLastServesTheNextOfItsSizeAndAnyOtherRequestUnmapsIt) {
  ReleaseSparePixels();
  constexpr size_t kSize = size_t{6} << 20;
  void* first = AllocateLargePixels(kSize);
  std::memset(first, 0x5A, kSize);
  FreeLargePixels(first, kSize);
  // Kept, and given out again whole: the same bytes, still writable.
  void* again = AllocateLargePixels(kSize - 100);
  ASSERT_EQ(again, first);
  EXPECT_EQ(static_cast<unsigned char*>(again)[kSize - 1], 0x5A);
  std::memset(again, 0, kSize);

  // A request of another size unmaps the kept block instead of holding both.
  FreeLargePixels(again, kSize - 100);
  void* other = AllocateLargePixels(kSize * 2);
  // (The new block may be mapped where the old one was.)
  const auto* from = static_cast<char*>(other);
  const bool withinOther = first >= other && static_cast<char*>(first) + kSize <= from + kSize * 2;
  EXPECT_TRUE(withinOther || !Mapped(first, kSize));
  std::memset(other, 1, kSize * 2);

  // Freeing twice keeps only the later block; releasing returns that one too.
  void* third = AllocateLargePixels(kSize);
  FreeLargePixels(other, kSize * 2);
  FreeLargePixels(third, kSize);
  EXPECT_FALSE(Mapped(other, kSize * 2));
  EXPECT_TRUE(Mapped(third, kSize));
  ReleaseSparePixels();
  EXPECT_FALSE(Mapped(third, kSize));
}

}  // namespace
}  // namespace nimbra
