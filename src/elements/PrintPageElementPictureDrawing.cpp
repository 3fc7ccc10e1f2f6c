// The drawing half of the picture element: loading, preparing and placing its picture.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "elements/BlurredBackdrop.h"
#include "elements/FitRect.h"
#include "elements/PictureCover.h"
#include "elements/PictureGeometry.h"
#include "elements/PicturePlaceholder.h"
#include "elements/PrintPageElementPicture.h"
#include "raster/StretchDraw.h"
#include "storage/FileAccess.h"
#include "templates/Bitmap32Cache.h"

namespace nimbra {

namespace {

// How long a design-view picture stays cached after its last use.
constexpr uint32_t kCacheValidity = 30000;

bool FileIsThere(const std::string& name) {
  const std::shared_ptr<IFileAccess> access = FileAccess();
  return access && access->FileExists(name);
}

// Blends the picture into the target with its transformed bounds centred on the element's
// rectangle, and keeps a canvas of its own identical to the target where the picture went. A
// straight stretch is stretched onto the target there.
void DrawCentred(TBitmap32& target, TBitmap32* canvas, const TBitmap32& picture,
                 const TStraightStretch& straight, const TAffineTransformation& transformation,
                 const TPixelRect& e, uint8_t masterAlpha) {
  // 1. the bounds' offset from the picture's origin moves the picture, then it is centred
  const TRect bounds = transformation.GetTransformedBounds();
  const int left = e.Left - bounds.Left + (e.Width() - bounds.Width()) / 2;
  const int top = e.Top - bounds.Top + (e.Height() - bounds.Height()) / 2;
  // 2. the picture blends into the target
  const int width = straight.Pending ? straight.Width : picture.Width();
  const int height = straight.Pending ? straight.Height : picture.Height();
  if (straight.Pending) {
    StretchBlendStraight(target, {left, top, left + width, top + height}, picture,
                         straight.Filter, masterAlpha);
  } else {
    DrawBitmap(target, left, top, picture, TDrawMode::Blend, masterAlpha);
  }
  // 3. where the picture landed, within the target
  const TRect placed =
      IntersectRect({left, top, left + width, top + height}, target.BoundsRect());
  // 4. the blended pixels themselves, not the picture again: a canvas over other content gets
  // what the target shows.
  if (canvas != nullptr && canvas != &target && !placed.IsEmpty()) {
    DrawBitmap(*canvas, placed.Left, placed.Top, target, placed, TDrawMode::Opaque);
  }
}

// Whether the photo of that shape is cut to cover the element: always when it is to cover it, but
// before its blurred copy only when that cuts little off it.
bool CoversBox(const TPrintPageElementPictureProperties& bag, const TPictureSize& shape,
               const TPixelRect& e) {
  if (!bag.CoversBox()) return false;
  return !bag.BlurredBackground() || CutsLittle(shape.Width, shape.Height, e.Width(), e.Height());
}

// The blurred copy of the picture over the element's rectangle, on the target (and the canvas
// kept identical to it there), else on the canvas.
void DrawBackdrop(const TRenderContext& context, const TBitmap32& picture, const TPixelRect& e,
                  uint8_t masterAlpha) {
  const TBitmap32 backdrop = BlurredBackdrop(picture, e.Width(), e.Height());
  TBitmap32* target = context.TargetBitmap != nullptr ? context.TargetBitmap : context.Canvas;
  if (backdrop.Empty() || target == nullptr) return;
  const TRect rect{e.Left, e.Top, e.Right, e.Bottom};
  // Enlarged many times over, where Mitchell stays smooth and Lanczos would ring.
  StretchDraw(*target, rect, backdrop, TResamplingFilter::Mitchell, TDrawMode::Blend, masterAlpha);
  const TRect placed = IntersectRect(rect, target->BoundsRect());
  if (context.Canvas != nullptr && context.Canvas != target && !placed.IsEmpty()) {
    DrawBitmap(*context.Canvas, placed.Left, placed.Top, *target, placed, TDrawMode::Opaque);
  }
}

// The target's farthest edges from the element's centre, where the picture is centred, and a
// pixel for rounding; without a target the picture is stretched into the element whole.
TPictureReach ReachOnTarget(const TBitmap32* target, const TPixelRect& e) {
  if (target == nullptr) return {};
  const int64_t x = e.Left + int64_t{e.Width()} / 2;
  const int64_t y = e.Top + int64_t{e.Height()} / 2;
  const auto reach = [](int64_t centre, int size) {
    return static_cast<int>(std::min<int64_t>(std::max(centre, size - centre) + 1, INT32_MAX / 2));
  };
  return {reach(x, target->Width()), reach(y, target->Height())};
}

// A picture that is its own shape: not decoded from a photo of another size.
TDecodedPicture OwnShape(std::unique_ptr<TBitmap32> picture) {
  const TPictureSize shape{picture->Width(), picture->Height()};
  return {std::move(picture), shape};
}

}  // namespace

void TPrintPageElementPicture::Print(TBitmap32* canvas, const TPixelRect& pageRect) {
  DrawPicture(DocumentedContext(canvas, pageRect), randomAngle_);
}

void TPrintPageElementPicture::PrintWith(const TRenderContext& context) {
  // Drawn for every rendering, turned or not, as BeginRender draws it: a seeded render takes the
  // same numbers from its generator either way.
  DrawPicture(context, 5 - 10 * context.Chance().Fraction());
}

void TPrintPageElementPicture::DrawPicture(const TRenderContext& context, double randomAngle) {
  // 1. an element without area has nowhere to put a picture
  const TPixelRect e = PixelBounds(context.PageRect);
  if (e.Width() <= 0 || e.Height() <= 0) return;
  // 2.-3.
  TDecodedPicture decoded = PictureToDraw(context, e);
  if (!decoded.Picture) return;
  std::unique_ptr<TBitmap32> picture = std::move(decoded.Picture);
  const auto masterAlpha = static_cast<uint8_t>(255 - PictureProperties().Transparency());
  // Made before the picture is prepared, which gives up the decoded copy; a photo that covers the
  // element would hide it.
  const TPrintPageElementPictureProperties& bag = PictureProperties();
  if (bag.BlurredBackground() && !CoversBox(bag, decoded.Shape, e)) {
    DrawBackdrop(context, *picture, e, masterAlpha);
  }
  // 4. effects, turn and fit; a picture that comes to nothing is not drawn
  TAffineTransformation transformation;
  TStraightStretch straight;
  if (!PreparePictureFor(context, randomAngle, *picture, decoded.Shape, e, transformation,
                         context.TargetBitmap != nullptr ? &straight : nullptr)) {
    return;
  }
  // 5. with a target the picture is centred in the element
  if (context.TargetBitmap != nullptr) {
    DrawCentred(*context.TargetBitmap, context.Canvas, *picture, straight, transformation, e,
                masterAlpha);
    return;
  }
  // 6. without a target the picture fills the rectangle
  if (context.Canvas != nullptr) {
    const TResamplingFilter filter = PictureFilter(picture->Width(), picture->Height(), e.Width(),
                                                   e.Height(), !context.FinalRendering());
    StretchDraw(*context.Canvas, {e.Left, e.Top, e.Right, e.Bottom}, *picture, filter,
                TDrawMode::Blend, masterAlpha);
  }
}

TDecodedPicture TPrintPageElementPicture::PictureToDraw(const TRenderContext& context,
                                                       const TPixelRect& e) {
  TDecodedPicture picture;
  if (HasPicture()) {
    if (context.Decoded != nullptr) picture = context.Decoded->Take(this);
    if (!picture.Picture) picture = LoadPictureFor(context.Mode, e.Width(), e.Height());
    if (!picture.Picture) {
      const std::string name = GetFileName();
      ReportFileWarning(context.ErrorCounter,
                        FileIsThere(name) ? kFileNotReadableText : kFileNotFoundText, name,
                        kPictureNotDrawnErrorNr);
    }
  } else if (!GetStoredFileName().empty()) {
    // Resolving found the file nowhere.
    ReportFileWarning(context.ErrorCounter, kFileNotFoundText, GetStoredFileName(),
                      kPictureNotDrawnErrorNr);
  }
  if (!picture.Picture && !context.FinalRendering()) {
    // A photo that is missing is named, so the designer sees which one it is.
    const std::string missing = HasPicture() ? GetFileName() : GetStoredFileName();
    picture = OwnShape(
        std::make_unique<TBitmap32>(PicturePlaceholder(e.Width(), e.Height(), missing)));
  }
  return picture;
}

std::unique_ptr<TBitmap32> TPrintPageElementPicture::LoadPicture(int32_t width, int32_t height) {
  return LoadPictureFor(RenderMode(), width, height).Picture;
}

TDecodedPicture TPrintPageElementPicture::LoadPictureFor(TRenderMode mode, int32_t width,
                                                         int32_t height) {
  // 1. without a file name there is nothing to load
  const std::string name = GetFileName();
  if (name.empty()) return {};
  const bool preview = mode == TRenderMode::DesignView;
  const std::shared_ptr<TBitmap32Cache> cache = preview ? Bitmap32Cache() : nullptr;
  // 2. the design view takes a cached copy when there is one
  if (cache) {
    if (std::unique_ptr<TBitmap32> cached = cache->GetCopy(name)) {
      return OwnShape(std::move(cached));
    }
  }
  // 3. Decoded no larger than it is used (PictureDecodeSize.h). The file is opened once: its
  // header tells the fitted box, and the decode reads on from there.
  TDecodedPicture picture = DecodePicture({name, DrawingFor(mode, width, height)});
  // 4. the design view keeps the decoded picture for next time
  if (picture.Picture && cache) {
    cache->AddScaled(*picture.Picture, name, width, height, false,
                     TCacheItemValidInfo::CreateFor(kCacheValidity, true));
  }
  return picture;
}

TPictureDrawing TPrintPageElementPicture::DrawingFor(TRenderMode mode, int32_t width,
                                                     int32_t height) const {
  const TPrintPageElementPictureProperties& bag = PictureProperties();
  TPictureDrawing drawing;
  drawing.BoxWidth = width;
  drawing.BoxHeight = height;
  drawing.Rendering = mode != TRenderMode::DesignView;
  drawing.HasEffects = bag.Effects().Count() > 0;
  drawing.KeepAspect = bag.KeepAspectRatio();
  drawing.Angle = bag.RotationAngle();
  drawing.RandomRotation = bag.RandomRotation();
  drawing.AutoRotate = bag.AutoRotate();
  drawing.FitMode = bag.FitMode();
  drawing.Cover = bag.CoversBox();
  drawing.CoverCutsLittle = bag.BlurredBackground();
  return drawing;
}

std::optional<TPictureDecodeRequest> TPrintPageElementPicture::DecodeRequest(
    const TRenderContext& context) const {
  // The design view takes its pictures from the bitmap cache, on the drawing thread.
  if (!context.FinalRendering()) return std::nullopt;
  const TPixelRect e = PixelBounds(context.PageRect);
  if (e.Width() <= 0 || e.Height() <= 0) return std::nullopt;
  std::string name = GetFileName();
  if (name.empty()) return std::nullopt;
  return TPictureDecodeRequest{std::move(name), DrawingFor(context.Mode, e.Width(), e.Height())};
}

bool TPrintPageElementPicture::PreparePicture(TBitmap32& picture, const TPixelRect& e,
                                              const TPixelRect& pageRect,
                                              TAffineTransformation& transformation) {
  return PreparePictureFor(DocumentedContext(nullptr, pageRect), randomAngle_, picture,
                           {picture.Width(), picture.Height()}, e, transformation);
}

bool TPrintPageElementPicture::PreparePictureFor(const TRenderContext& context, double randomAngle,
                                                 TBitmap32& picture, const TPictureSize& photoShape,
                                                 const TPixelRect& e,
                                                 TAffineTransformation& transformation,
                                                 TStraightStretch* straight) {
  const TPrintPageElementPictureProperties& bag = PictureProperties();
  const bool preview = !context.FinalRendering();
  // 1. The photo's size fitted into the element; a photo that covers it is first cut to the
  // element's proportions.
  TPictureSize shape = photoShape;
  if (CoversBox(bag, shape, e)) CutToCover(picture, shape, e.Width(), e.Height());
  const TPixelRect fitted = FitRect(shape.Width, shape.Height, {0, 0, e.Width(), e.Height()});
  // 2. The reduced copy is what effects work on. Without effects nothing sees it, and the
  // geometric step reduces the picture itself straight to its final size: one resampling instead
  // of two, for the same pixels. The picture itself is given up here, so one decoded copy lives
  // at a time.
  const bool hasEffects = bag.Effects().Count() > 0;
  TBitmap32 working =
      MakeWorkingCopy(picture, fitted.Width(), fitted.Height(), !preview && hasEffects);
  if (working.Empty()) return false;
  // 3.-4.
  ApplyEffectsFor(context, working, {0, 0, working.Width(), working.Height()}, nullptr, 1, 1,
                  kEffectStageBeforeGeometry);
  if (working.Empty()) return false;
  // Effects may have changed the copy's proportions (a frame added around it); without them it
  // is fitted by the photo's own, which a reduced decode keeps only to the pixel.
  const TPictureSize fitShape =
      hasEffects ? TPictureSize{working.Width(), working.Height()} : shape;
  // 5. the turn: a random one or the one set
  float angle = static_cast<float>(bag.RandomRotation() ? randomAngle : bag.RotationAngle());
  // 6. no turn set: a quarter turn where the picture then fills the element better
  if (angle == 0 && bag.AutoRotate() &&
      TurningFillsBetter(fitShape.Width, fitShape.Height, e.Width(), e.Height())) {
    angle = 90;
  }
  // 7.-8.
  const TResamplingFilter filter =
      PictureFilter(working.Width(), working.Height(), e.Width(), e.Height(), preview);
  // Unturned and without effects, nothing but the target sees the fitted picture: the page is
  // drawn straight from the working copy, without a fitted copy in between.
  if (straight != nullptr && !hasEffects && angle == 0 && !preview) {
    const TPictureGeometry geometry = UnturnedFit(working.Width(), working.Height(), e.Width(),
                                                  e.Height(), bag.KeepAspectRatio(), fitShape);
    if (geometry.ScaledWidth <= 0 || geometry.ScaledHeight <= 0) return false;
    *straight = {true, geometry.ScaledWidth, geometry.ScaledHeight, filter};
    transformation = geometry.Transformation;
    picture = std::move(working);
    return true;
  }
  TPictureGeometry geometry =
      FitAndTurn(working, picture, e.Width(), e.Height(), bag.KeepAspectRatio(), angle,
                 bag.FitMode(), filter, ReachOnTarget(context.TargetBitmap, e), fitShape);
  if (picture.Empty() || geometry.ScaledWidth <= 0 || geometry.ScaledHeight <= 0) return false;
  // 9. the scale from the reduced copy to the fitted picture; the copy is done with
  const double sx = double(working.Width()) / geometry.ScaledWidth;
  const double sy = double(working.Height()) / geometry.ScaledHeight;
  const TPixelRect workingRect{0, 0, working.Width(), working.Height()};
  working = TBitmap32();
  // 10. the effects that come after the geometry, on the fitted picture
  transformation = geometry.Transformation;
  ApplyEffectsFor(context, picture, workingRect, &transformation, sx, sy,
                  kEffectStageAfterGeometry);
  // 11. an effect may have left nothing to draw
  return !picture.Empty();
}

void TPrintPageElementPicture::ApplyEffects(TBitmap32& bitmap, const TPixelRect& rect,
                                            TAffineTransformation* transformation, double sx,
                                            double sy, uint8_t stage) {
  ApplyEffectsFor(DocumentedContext(nullptr, {}), bitmap, rect, transformation, sx, sy, stage);
}

void TPrintPageElementPicture::ApplyEffectsFor(const TRenderContext& context, TBitmap32& bitmap,
                                               const TPixelRect& rect,
                                               TAffineTransformation* transformation, double sx,
                                               double sy, uint8_t stage) {
  const int32_t skipped = PictureProperties().Effects().ApplyEffects(
      bitmap, rect, context.Resolution, transformation, sx, sy, stage, !context.FinalRendering());
  if (skipped > 0) ReportFileWarning(context.ErrorCounter, kEffectSkippedText, GetFileName());
}

}  // namespace nimbra
