// A raster of 32-bit pixels, the picture every page is drawn into and every decoded photo becomes.
// A pixel holds alpha in its top byte, then red, green and blue (0xAARRGGBB), not premultiplied;
// rows lie one after the other from the top, without padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

#include "raster/PixelMemory.h"
#include "storage/NimbraError.h"

namespace nimbra {

using TColor32 = uint32_t;

constexpr TColor32 Color32(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 255) {
  return (TColor32{alpha} << 24) | (TColor32{red} << 16) | (TColor32{green} << 8) | blue;
}
constexpr uint8_t AlphaComponent(TColor32 c) {
  return static_cast<uint8_t>(c >> 24);
}
constexpr uint8_t RedComponent(TColor32 c) {
  return static_cast<uint8_t>(c >> 16);
}
constexpr uint8_t GreenComponent(TColor32 c) {
  return static_cast<uint8_t>(c >> 8);
}
constexpr uint8_t BlueComponent(TColor32 c) {
  return static_cast<uint8_t>(c);
}
// The colour with its alpha replaced.
constexpr TColor32 ColorWithAlpha(TColor32 c, uint8_t alpha) {
  return (c & 0x00FFFFFF) | (TColor32{alpha} << 24);
}

constexpr TColor32 kColor32Black = 0xFF000000;
constexpr TColor32 kColor32White = 0xFFFFFFFF;
constexpr TColor32 kColor32Transparent = 0x00000000;
// What grown and turned pictures are cleared to: invisible, and white where a filter mixes it in.
constexpr TColor32 kColor32TransparentWhite = 0x00FFFFFF;

// A rectangle of whole pixels: columns Left … Right − 1 and rows Top … Bottom − 1.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  bool operator==(const TRect&) const = default;
};

// The common part of two rectangles; an empty rectangle (all zero) when they do not overlap.
TRect IntersectRect(const TRect& a, const TRect& b);

// Raised for a size that is negative or whose pixels would take more than kMaxBytes.
class EBitmapSizeError : public ENimbraError {
 public:
  using ENimbraError::ENimbraError;
};

// Leaves new elements of a vector default-initialised (for pixels: unset) instead of zeroed, so
// that a bitmap about to be overwritten whole costs no pass over its memory beforehand, and takes
// large blocks from PixelMemory.h. Under AddressSanitizer every block comes from the heap, where
// a write past a bitmap's end is caught.
template <typename T>
class TDefaultInitAllocator : public std::allocator<T> {
 public:
  template <typename U>
  struct rebind {
    using other = TDefaultInitAllocator<U>;
  };
  TDefaultInitAllocator() = default;
  template <typename U>
  TDefaultInitAllocator(const TDefaultInitAllocator<U>&) noexcept {}

  T* allocate(size_t n) {
    if (Large(n)) {
      if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
      return static_cast<T*>(AllocateLargePixels(n * sizeof(T)));
    }
    return std::allocator<T>::allocate(n);
  }
  void deallocate(T* p, size_t n) noexcept {
    if (Large(n)) {
      FreeLargePixels(p, n * sizeof(T));
    } else {
      std::allocator<T>::deallocate(p, n);
    }
  }

  template <typename U>
  void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    std::allocator_traits<std::allocator<T>>::construct(static_cast<std::allocator<T>&>(*this), p,
                                                        std::forward<Args>(args)...);
  }

 private:
  static bool Large(size_t n) {
#if defined(__SANITIZE_ADDRESS__)
    static_cast<void>(n);
    return false;
#else
    return n >= kLargePixelBlock / sizeof(T);
#endif
  }
};

class TBitmap32 {
 public:
  // Far above any page or photo the album handles, and well below what would exhaust memory.
  static constexpr uint64_t kMaxBytes = uint64_t{1} << 31;

  TBitmap32() = default;
  // A bitmap of the size, every pixel transparent black.
  TBitmap32(int width, int height) { SetSize(width, height); }
  TBitmap32(const TBitmap32&) = default;
  TBitmap32& operator=(const TBitmap32&) = default;
  TBitmap32(TBitmap32&& other) noexcept;
  TBitmap32& operator=(TBitmap32&& other) noexcept;

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return bits_.empty(); }
  TRect BoundsRect() const { return {0, 0, width_, height_}; }
  // Width × height × 4.
  int64_t ByteSize() const { return static_cast<int64_t>(bits_.size()) * 4; }

  // Resizes to the new size with every pixel transparent black; raises EBitmapSizeError.
  void SetSize(int width, int height);
  // Resizes like SetSize but leaves the pixels unset: for a caller that writes every pixel
  // before anything reads one (a decoder filling all rows).
  void SetSizeForOverwrite(int width, int height);
  void Clear(TColor32 colour);
  // Keeps only the part (clipped to the bitmap), moved into the bitmap's own memory: no second
  // copy of a large picture is made to cut it.
  void Crop(const TRect& part);
  // Copies another bitmap's size and pixels.
  void Assign(const TBitmap32& source) { *this = source; }

  // Pixel access raises std::out_of_range outside the bitmap.
  TColor32 Pixel(int x, int y) const { return bits_[Index(x, y)]; }
  void SetPixel(int x, int y, TColor32 colour) { bits_[Index(x, y)] = colour; }
  TColor32* ScanLine(int y) { return bits_.data() + Index(0, y); }
  const TColor32* ScanLine(int y) const { return bits_.data() + Index(0, y); }
  TColor32* Bits() { return bits_.data(); }
  const TColor32* Bits() const { return bits_.data(); }

  bool operator==(const TBitmap32& other) const = default;

 private:
  size_t Index(int x, int y) const;

  int width_ = 0;
  int height_ = 0;
  std::vector<TColor32, TDefaultInitAllocator<TColor32>> bits_;
};

}  // namespace nimbra
