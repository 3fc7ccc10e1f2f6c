#include "elements/PrintWizardPictureEffectCollage.h"

#include <algorithm>
#include <cmath>

#include "elements/DrawingRandom.h"
#include "elements/FitRect.h"
#include "elements/ListItemFields.h"
#include "elements/NamedEntries.h"
#include "elements/PictureGeometry.h"
#include "framework/FieldMap.h"
#include "framework/FileNameResolution.h"
#include "framework/Properties.h"
#include "raster/Blend.h"
#include "raster/CodecLimits.h"
#include "raster/Resample.h"
#include "raster/Transform.h"
#include "storage/CSFStream.h"
#include "storage/Check.h"
#include "templates/PageGeometry.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectCollageProperties,
                     TPrintWizardPictureEffectProperties)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectUserCollageProperties,
                     TPrintWizardPictureEffectCollageProperties)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectCollage, TPrintWizardPictureEffect)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectUserCollage, TPrintWizardPictureEffectCollage)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectUserCollage1Pic, TPrintWizardPictureEffectUserCollage)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectUserCollage4Pic, TPrintWizardPictureEffectUserCollage)

// ---- TPrintWizardPictureEffectCollageProperties ----

TStoredPart TPrintWizardPictureEffectCollageProperties::PicturesPart() {
  return {[this](TCSFStream& stream) { return WriteNamedEntries(stream, pictures_); },
          [this](TCSFStream& stream) {
            const int32_t count = stream.ReadInteger();
            bool read = true;
            for (int32_t i = 0; i < count && i < pictures_.Count(); ++i) {
              TReadSubChunk entry(stream);
              stream.ReadClassName();  // every stored picture is a plain collage picture
              read = pictures_.Items(i).ReadFromStream(stream) && read;
            }
            return PartRead(read);
          },
          [this](std::string_view name, TFieldWriter& fields) {
            fields.Integer(name, pictures_.Count());
            for (int32_t i = 0; i < pictures_.Count(); ++i) {
              TListItemFields item(fields, name, i);
              pictures_.Items(i).DescribeFields(item);
            }
          }};
}

void TPrintWizardPictureEffectCollageProperties::MapFields(TFieldMap& map) {
  TPrintWizardPictureEffectProperties::MapFields(map);
  map.SubChunk([&] { map.Boolean("followPicture", followPicture_); });
  // Pictures beyond the list's length are left in the sub-chunk.
  map.SubChunk([&] { map.Part("pictures", PicturesPart()); });
}

std::string TPrintWizardPictureEffectUserCollageProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(
      TPrintWizardPictureEffectCollageProperties::EditorFrameClassNames(),
      "TPrintWizardPictureEffectUserCollagePropertiesEditorFrame");
}

// ---- TPrintWizardPictureEffectCollage ----

namespace {

// Stored placements beyond the grid index nothing: they count as fitted.
uint8_t EffectivePlacement(const TCollagePic& picture) {
  return picture.Placement() <= kPlacementFitted ? picture.Placement() : kPlacementFitted;
}

// Scales a w × h picture to width × height, uniformly (the smaller factor) when keepAspect.
void ScaleTo(TAffineTransformation& t, double width, double height, double w, double h,
             bool keepAspect) {
  double fx = width / w;
  double fy = height / h;
  if (keepAspect) fx = fy = std::min(fx, fy);
  t.Scale(fx, fy);
}

// The shift within the anchor rectangle for a grid column or row: the start, the middle, or
// against the end one pixel in. Sizes come as doubles: stored bounds and lengths may stretch a
// rectangle across the whole integer range.
double GridShift(int cell, double anchorSize, double size) {
  if (cell == 0) return 0;
  if (cell == 1) return (anchorSize - size) / 2;
  return anchorSize - size - 1;
}

double Span(int32_t start, int32_t end) {
  return double(end) - start;
}

// How long the picture's side from its origin to corner comes out, in whole pixels, at least 1.
int TransformedSide(const TAffineTransformation& t, TFloatPoint corner) {
  const TFloatPoint origin = t.Transform({0, 0});
  const TFloatPoint end = t.Transform(corner);
  return std::max(1, RoundHalfToEven(std::hypot(end.X - origin.X, end.Y - origin.Y)));
}

TRect UnitedRect(const TRect& a, const TRect& b) {
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

TPixelRect Offset(const TPixelRect& r, int dx, int dy) {
  return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

// Makes the bitmap united's size, transparent white, with its content where united puts it.
void Enlarge(TBitmap32& bitmap, const TRect& united, int width, int height) {
  const TBitmap32 content = std::move(bitmap);
  bitmap = TBitmap32(width, height);
  bitmap.Clear(kColor32TransparentWhite);
  DrawBitmap(bitmap, -united.Left, -united.Top, content, TDrawMode::Opaque);
}

void FreeBitmaps(TCollagePicsList& pictures) {
  for (int32_t i = 0; i < pictures.Count(); ++i) pictures.Items(i).FreeBitmap();
}

// Drawing may scale a picture's rotation centre to its reduced copy; the stored one comes back
// when the drawing ends.
struct TKeptRotationCentre {
  explicit TKeptRotationCentre(TCollagePic& picture)
      : Picture(picture), CenterX(picture.CenterX()), CenterY(picture.CenterY()) {}
  ~TKeptRotationCentre() {
    Picture.SetCenterX(CenterX);
    Picture.SetCenterY(CenterY);
  }
  TKeptRotationCentre(const TKeptRotationCentre&) = delete;
  TKeptRotationCentre& operator=(const TKeptRotationCentre&) = delete;

  TCollagePic& Picture;
  const int32_t CenterX;
  const int32_t CenterY;
};

// The non-empty lines of every picture's FileNames, pictures in list order.
std::vector<std::string> StoredNames(const TCollagePicsList& pictures) {
  std::vector<std::string> names;
  for (int32_t i = 0; i < pictures.Count(); ++i) {
    for (std::string& line : SplitLines(pictures.Items(i).FileNames())) {
      if (!line.empty()) names.push_back(std::move(line));
    }
  }
  return names;
}

}  // namespace

TPrintWizardPictureEffectCollage::TPrintWizardPictureEffectCollage(
    const TMetaClass& propertiesClass)
    : TPrintWizardPictureEffect(&propertiesClass, kEffectStageAfterGeometry) {
  NIMBRA_CHECK(PropertiesAs<TPrintWizardPictureEffectCollageProperties>() != nullptr,
               propertiesClass.ClassName() + " is no collage bag");
}

TPrintWizardPictureEffectCollageProperties& TPrintWizardPictureEffectCollage::CollageProperties()
    const {
  return static_cast<TPrintWizardPictureEffectCollageProperties&>(*Properties());
}

void TPrintWizardPictureEffectCollage::Apply(TBitmap32& bitmap, const TPixelRect& rect, double dpi,
                                             TAffineTransformation* transformation, double sx,
                                             double sy) {
  SetSkipped(false);
  TCollagePicsList& pictures = CollageProperties().Pictures();
  // 1. room for the main picture and every collage picture that could be loaded
  const TRect bounds = bitmap.BoundsRect();
  TRect united = bounds;
  for (int32_t i = 0; i < pictures.Count(); ++i) {
    TCollagePic& picture = pictures.Items(i);
    const TBitmap32* pictureBitmap = picture.GetBitmap();
    TAffineTransformation placed;
    if (pictureBitmap != nullptr &&
        PictureTransformation(picture, *pictureBitmap, sx, sy, dpi, transformation, rect, placed)) {
      united = UnitedRect(united, placed.GetTransformedBounds());
    }
  }
  // 2. Sizes and offsets are stored doubles: a collage that would need a bitmap larger than any
  // picture may have is left out, and the element reports it.
  TPixelRect mainRect = rect;
  if (united != bounds) {
    const int64_t width = int64_t{united.Right} - united.Left;
    const int64_t height = int64_t{united.Bottom} - united.Top;
    if (!WithinWholePictureLimits(width, height)) {
      SetSkipped(true);
      FreeBitmaps(pictures);
      return;
    }
    Enlarge(bitmap, united, static_cast<int>(width), static_cast<int>(height));
    if (transformation != nullptr) transformation->Translate(-united.Left, -united.Top);
    // Pictures that do not follow the transformation are placed by the main rectangle alone; it
    // moves with the content, so that they land where room was made for them.
    if (!FollowsTransformation(transformation))
      mainRect = Offset(mainRect, -united.Left, -united.Top);
  }
  // 3.
  for (int32_t i = 0; i < pictures.Count(); ++i) {
    DrawPicture(bitmap, pictures.Items(i), mainRect, dpi, transformation, sx, sy);
    pictures.Items(i).FreeBitmap();
  }
}

bool TPrintWizardPictureEffectCollage::FollowsTransformation(
    const TAffineTransformation* transformation) const {
  return transformation != nullptr && CollageProperties().FollowPicture();
}

bool TPrintWizardPictureEffectCollage::PictureTransformation(
    TCollagePic& picture, const TBitmap32& pictureBitmap, double sx, double sy, double dpi,
    const TAffineTransformation* transformation, const TPixelRect& mainRect,
    TAffineTransformation& result) {
  if (pictureBitmap.Empty()) return false;
  const double w = pictureBitmap.Width();
  const double h = pictureBitmap.Height();
  TAffineTransformation t;
  t.SetSrcRect({0, 0, w, h});
  // 1. centimetres become pixels of the page, or of the working picture
  if (!picture.ScaleWithPicture()) {
    sx = sy = 1;
  } else if (picture.KeepAspectRatio()) {
    sx = sy = std::min(sx, sy);
  }
  TPixelRect anchor = mainRect;
  if (EffectivePlacement(picture) == kPlacementFitted) {
    // 2. Fitted over the main picture, whose area is already in the working picture's pixels:
    // the scale of step 1 is for centimetre sizes only, and would make the picture sx times too
    // large here.
    const TPixelRect box{0, 0, mainRect.Width(), mainRect.Height()};
    const TPixelRect d = picture.KeepAspectRatio()
                             ? FitRectCentered(pictureBitmap.Width(), pictureBitmap.Height(), box)
                             : box;
    ScaleTo(t, d.Width(), d.Height(), w, h, picture.KeepAspectRatio());
    t.Translate(d.Left, d.Top);
  } else {
    // 3. sized in centimetres and anchored in the grid cell of its bounds
    t.Scale(sx, sy);
    ScaleTo(t, CentimetresToPixels(picture.Width(), dpi),
            CentimetresToPixels(picture.Height(), dpi), w, h, picture.KeepAspectRatio());
    const TRect d = t.GetTransformedBounds();
    anchor = FractionToPixels(picture.Bounds(), mainRect);
    const int column = EffectivePlacement(picture) % 3;
    const int row = EffectivePlacement(picture) / 3;
    t.Translate(GridShift(column, Span(anchor.Left, anchor.Right), Span(d.Left, d.Right)),
                GridShift(row, Span(anchor.Top, anchor.Bottom), Span(d.Top, d.Bottom)));
  }
  // 4.
  t.Translate(anchor.Left, anchor.Top);
  // 5.
  t.Translate(CentimetresToPixels(picture.OffsetX(), dpi) * sx,
              CentimetresToPixels(picture.OffsetY(), dpi) * sy);
  // 6. the turn about the rotation centre, the random part drawn with the picture's own seed
  if (picture.Angle() != 0 || picture.AngleRange() != 0) {
    const TFloatPoint centre =
        t.Transform({std::floor(w / 2) - picture.CenterX(), std::floor(h / 2) - picture.CenterY()});
    TDrawingRandom random(picture.Seed());
    t.Rotate(centre.X, centre.Y,
             picture.Angle() + picture.AngleRange() / 2 - picture.AngleRange() * random.Fraction());
  }
  // 7.
  if (FollowsTransformation(transformation)) t.Append(*transformation);
  result = t;
  // Stored NaNs and infinities end here: such a picture is neither counted nor drawn.
  return result.IsInvertible();
}

void TPrintWizardPictureEffectCollage::DrawPicture(TBitmap32& bitmap, TCollagePic& picture,
                                                   const TPixelRect& mainRect, double dpi,
                                                   const TAffineTransformation* transformation,
                                                   double sx, double sy) {
  // 1.
  const TBitmap32* source = picture.GetBitmap();
  if (source == nullptr) return;
  const TKeptRotationCentre kept(picture);
  // 2.
  TAffineTransformation t;
  if (!PictureTransformation(picture, *source, sx, sy, dpi, transformation, mainRect, t)) return;
  const int width = TransformedSide(t, {double(source->Width()), 0});
  const int height = TransformedSide(t, {0, double(source->Height())});
  // 3. A picture far larger than it is drawn is first reduced to about that size; the rotation
  // centre, in the picture's pixels, shrinks with it.
  TBitmap32 working;
  if (!Preview() && ReducesToWorkingCopy(source->Width(), source->Height(), width, height)) {
    working = Resampled(*source, width, height,
                        PictureFilter(source->Width(), source->Height(), width, height, false));
    picture.SetCenterX(RoundHalfToEven(kept.CenterX * double(width) / source->Width()));
    picture.SetCenterY(RoundHalfToEven(kept.CenterY * double(height) / source->Height()));
  } else {
    working = *source;
  }
  if (!PictureTransformation(picture, working, sx, sy, dpi, transformation, mainRect, t)) return;
  // 4. The transformation maps the picture's area (pixel corners) while the raster draws pixel
  // centres: half a pixel either side turns one into the other, so the picture covers exactly its
  // transformed bounds. The raster fades every transformed edge by itself, so the picture's
  // outermost pixels stay as they are.
  TAffineTransformation drawn;
  drawn.Translate(0.5, 0.5);
  drawn.Append(t);
  drawn.Translate(-0.5, -0.5);
  DrawTransformed(bitmap, working, drawn,
                  PictureFilter(working.Width(), working.Height(), width, height, Preview()),
                  Preview() ? TDrawMode::Blend : TDrawMode::Merge);
}

std::vector<std::string> TPrintWizardPictureEffectCollage::GetStoredFileNames() const {
  return StoredNames(CollageProperties().Pictures());
}

std::vector<std::string> TPrintWizardPictureEffectCollage::GetFileNames() const {
  std::vector<std::string> names = GetStoredFileNames();
  for (std::string& name : names) name = ResolveTemplateFileName(name, {});
  return names;
}

std::string TPrintWizardPictureEffectCollage::GetStoredFileName() const {
  const std::vector<std::string> names = GetStoredFileNames();
  return names.empty() ? std::string() : names.front();
}

std::string TPrintWizardPictureEffectCollage::GetFileName() const {
  const std::string stored = GetStoredFileName();
  return stored.empty() ? std::string() : ResolveTemplateFileName(stored, {});
}

int32_t TPrintWizardPictureEffectCollage::FileCount() const {
  return static_cast<int32_t>(GetStoredFileNames().size());
}

void TPrintWizardPictureEffectCollage::ReplaceFileName(const std::string& oldName,
                                                       const std::string& newName) {
  if (oldName.empty()) return;
  TCollagePicsList& pictures = CollageProperties().Pictures();
  for (int32_t i = 0; i < pictures.Count(); ++i) {
    TCollagePic& picture = pictures.Items(i);
    if (picture.FromResource()) continue;
    std::vector<std::string> lines = SplitLines(picture.FileNames());
    bool changed = false;
    for (std::string& line : lines) {
      if (line == oldName || (!line.empty() && ResolveTemplateFileName(line, {}) == oldName)) {
        line = newName;
        changed = true;
      }
    }
    if (changed) picture.SetFileNames(JoinLines(lines));
  }
}

// ---- TPrintWizardPictureEffectUserCollage ----

TPrintWizardPictureEffectUserCollage::TPrintWizardPictureEffectUserCollage(int32_t pictureCount)
    : TPrintWizardPictureEffectCollage(
          TPrintWizardPictureEffectUserCollageProperties::StaticClass()),
      pictureCount_(pictureCount) {
  for (int32_t i = 0; i < pictureCount_; ++i) {
    CollageProperties().Pictures().Add(std::make_unique<TCollagePic>());
  }
}

}  // namespace nimbra
