#include "templates/PageBackground.h"

#include <algorithm>
#include <optional>

#include "raster/StretchDraw.h"
#include "templates/Bitmap32Cache.h"
#include "templates/PageTemplate.h"

namespace nimbra {

namespace {

constexpr uint32_t kCacheValidity = 30000;

TRect ToRect(const TPixelRect& r) {
  return {r.Left, r.Top, r.Right, r.Bottom};
}

// Draws picture with its top-left corner at (x, y), only where it lies inside the page.
void DrawOnPage(TBitmap32& bitmap, const TRect& page, const TBitmap32& picture, int x, int y,
                uint8_t alpha) {
  const TRect visible = IntersectRect({x, y, x + picture.Width(), y + picture.Height()}, page);
  if (visible.IsEmpty()) return;
  const TRect part{visible.Left - x, visible.Top - y, visible.Right - x, visible.Bottom - y};
  DrawBitmap(bitmap, visible.Left, visible.Top, picture, part, TDrawMode::Blend, alpha);
}

// The picture as centred and tiled backgrounds draw it, with the opacity to draw it with.
struct TSizedPicture {
  const TBitmap32* Original = nullptr;  // at its own size; otherwise Scaled holds it
  TBitmap32 Scaled;
  uint8_t Alpha = 255;

  const TBitmap32& Pixels() const { return Original != nullptr ? *Original : Scaled; }
};

// 5. At its own size the picture is blended with BackgroundAlpha. At a size in centimetres it is
// stretched onto the background colour without alpha, which keeps the opacity in the pixels
// themselves: they then blend onto the page once, at full strength.
std::optional<TSizedPicture> SizedPicture(const TBitmap32& picture,
                                          const TPrintWizardPageTemplateProperties& bag) {
  double w = bag.BackgroundWidth();
  double h = bag.BackgroundHeight();
  TSizedPicture sized;
  if (w == 0 && h == 0) {
    sized.Original = &picture;
    sized.Alpha = bag.BackgroundAlpha();
    return sized;
  }
  if (w == 0) w = h * picture.Width() / picture.Height();
  if (h == 0) h = w * picture.Height() / picture.Width();
  const int width = CentimetresToPixels(w, bag.Resolution());
  const int height = CentimetresToPixels(h, bag.Resolution());
  if (width <= 0 || height <= 0 || double(width) * height * 4 > double(TBitmap32::kMaxBytes)) {
    return std::nullopt;
  }
  sized.Scaled = TBitmap32(width, height);
  sized.Scaled.Clear(ColorWithAlpha(bag.BackColor(), 0));
  StretchDraw(sized.Scaled, sized.Scaled.BoundsRect(), picture, TResamplingFilter::Nearest,
              TDrawMode::Blend, bag.BackgroundAlpha());
  return sized;
}

void DrawCentred(TBitmap32& bitmap, const TPixelRect& page, const TSizedPicture& sized) {
  const TBitmap32& picture = sized.Pixels();
  const int x = page.Left + (page.Width() - picture.Width()) / 2;
  const int y = page.Top + (page.Height() - picture.Height()) / 2;
  DrawOnPage(bitmap, ToRect(page), picture, x, y, sized.Alpha);
}

// Tiles are laid side by side into one strip as wide as the page, which then covers the page row
// by row: the same pixels as tile by tile, without a call per tile for small pictures.
void DrawTiled(TBitmap32& bitmap, const TPixelRect& page, const TSizedPicture& sized) {
  const TBitmap32& tile = sized.Pixels();
  if (page.Width() <= 0 || page.Height() <= 0) return;
  TBitmap32 strip(page.Width(), std::min(tile.Height(), page.Height()));
  for (int x = 0; x < strip.Width(); x += tile.Width()) {
    DrawBitmap(strip, x, 0, tile, TDrawMode::Opaque);
  }
  for (int y = page.Top; y < page.Bottom; y += tile.Height()) {
    DrawOnPage(bitmap, ToRect(page), strip, page.Left, y, sized.Alpha);
  }
}

}  // namespace

TBackgroundPicture TBackgroundPicture::Obtain(const std::string& name) {
  TBackgroundPicture picture;
  // The cache's own bitmap is drawn from; nothing changes it while the page is drawn.
  picture.pixels_ = CachedOrDecodedBitmap32(name, kCacheValidity);
  return picture;
}

void DrawBackgroundPicture(TBitmap32& bitmap, const TPixelRect& pageRect, const TBitmap32& picture,
                           const TPrintWizardPageTemplateProperties& bag) {
  if (picture.Empty()) return;
  switch (bag.BackgroundMode()) {
    case kBackgroundCentred:
      if (const auto sized = SizedPicture(picture, bag)) DrawCentred(bitmap, pageRect, *sized);
      break;
    case kBackgroundStretched:
      StretchDraw(bitmap, ToRect(pageRect), picture, TResamplingFilter::Nearest, TDrawMode::Blend,
                  bag.BackgroundAlpha());
      break;
    case kBackgroundTiled:
      if (const auto sized = SizedPicture(picture, bag)) DrawTiled(bitmap, pageRect, *sized);
      break;
    default:
      break;
  }
}

}  // namespace nimbra
