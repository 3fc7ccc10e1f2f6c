#include "raster/Bitmap32.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace nimbra {

TRect IntersectRect(const TRect& a, const TRect& b) {
  const TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                std::min(a.Bottom, b.Bottom)};
  return r.IsEmpty() ? TRect{} : r;
}

TBitmap32::TBitmap32(TBitmap32&& other) noexcept
    : width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      bits_(std::move(other.bits_)) {
  other.bits_.clear();
}

TBitmap32& TBitmap32::operator=(TBitmap32&& other) noexcept {
  if (this != &other) {
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    bits_ = std::move(other.bits_);
    other.bits_.clear();
  }
  return *this;
}

namespace {

// The pixel count of a size, checked against the limits; raises EBitmapSizeError.
size_t CheckedPixelCount(int width, int height) {
  if (width < 0 || height < 0) {
    throw EBitmapSizeError("negative bitmap size " + std::to_string(width) + "x" +
                           std::to_string(height));
  }
  // Both factors are below 2^31, so the product cannot overflow 64 bits.
  const uint64_t bytes = uint64_t(width) * uint64_t(height) * 4;
  if (bytes > TBitmap32::kMaxBytes) {
    throw EBitmapSizeError("bitmap too large: " + std::to_string(width) + "x" +
                           std::to_string(height));
  }
  return static_cast<size_t>(bytes / 4);
}

}  // namespace

void TBitmap32::SetSize(int width, int height) {
  decltype(bits_) bits(CheckedPixelCount(width, height), kColor32Transparent);
  bits_ = std::move(bits);
  width_ = width;
  height_ = height;
}

void TBitmap32::SetSizeForOverwrite(int width, int height) {
  const size_t count = CheckedPixelCount(width, height);
  // The old pixels go first, so that the two blocks are never held at once.
  bits_ = decltype(bits_)();
  width_ = 0;
  height_ = 0;
  bits_.resize(count);
  width_ = width;
  height_ = height;
}

void TBitmap32::Clear(TColor32 colour) {
  std::fill(bits_.begin(), bits_.end(), colour);
}

void TBitmap32::Crop(const TRect& part) {
  const TRect kept = IntersectRect(part, BoundsRect());
  if (kept == BoundsRect()) return;
  const auto width = static_cast<size_t>(kept.Width());
  // Each row moves to a place before its own and after every row moved already.
  for (int y = 0; y < kept.Height(); ++y) {
    std::memmove(bits_.data() + size_t(y) * width,
                 bits_.data() + size_t(kept.Top + y) * size_t(width_) + size_t(kept.Left),
                 width * sizeof(TColor32));
  }
  width_ = kept.Width();
  height_ = kept.Height();
  bits_.resize(width * size_t(height_));
}

size_t TBitmap32::Index(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) {
    throw std::out_of_range("pixel " + std::to_string(x) + "," + std::to_string(y) + " outside a " +
                            std::to_string(width_) + "x" + std::to_string(height_) + " bitmap");
  }
  return static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
}

}  // namespace nimbra
