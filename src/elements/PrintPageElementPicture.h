// The picture element: a photo on the page, either a fixed file named in the template or, as in
// an album, the picture of the slideshow object the renderer binds to it. It fits the picture into
// its rectangle, may turn it (by a fixed, a small random, or a quarter angle), runs its effects
// before and after that, and draws it translucently into the page bitmap, centred.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "elements/DecodedPictures.h"
#include "elements/ElementErrorReporting.h"
#include "elements/PrintWizardPictureEffectList.h"
#include "elements/PrintablePageElement.h"
#include "slideshow/SlideShowInterfaces.h"
#include "templates/ElementBinding.h"

namespace nimbra {

class TSlideShowObject;
struct TStraightStretch;

// How a turned picture is scaled into the box.
inline constexpr uint8_t kFitRotatedInside = 0;
inline constexpr uint8_t kFitRotatedBounds = 1;
inline constexpr uint8_t kFitAsUnrotated = 2;

// How the photo meets its box: whole inside it (the fit modes above then apply), or covering it
// with as little cut off as may be, equally from both ends of the side that runs over.
inline constexpr uint8_t kPictureFitsBox = 0;
inline constexpr uint8_t kPictureCoversBox = 1;

class TPrintPageElementPictureProperties : public TVisiblePageElementProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintPageElementPictureProperties();
  ~TPrintPageElementPictureProperties() override;

  // One sub-chunk: the flags, the angle, Transparency, RandomRotation, AutoRotate, FitMode,
  // FileName and the effect list in a nested sub-chunk, then BoxFill and BlurredBackground, which
  // are written only when one of them differs from its default. With UseSlideShowPicture the file
  // name is the bound object's, not the template's: it is cleared and written empty.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  // As entered; resolved when used.
  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string name) { fileName_ = std::move(name); }
  bool KeepAspectRatio() const { return keepAspectRatio_; }
  void SetKeepAspectRatio(bool keep) { keepAspectRatio_ = keep; }
  // Stored and loaded; nothing reads it.
  bool SecondFlag() const { return secondFlag_; }
  void SetSecondFlag(bool flag) { secondFlag_ = flag; }
  bool UseSlideShowPicture() const { return useSlideShowPicture_; }
  void SetUseSlideShowPicture(bool use) { useSlideShowPicture_ = use; }
  bool TakesNextObject() const { return takesNextObject_; }
  void SetTakesNextObject(bool takes) { takesNextObject_ = takes; }
  // 0 opaque to 255 invisible.
  uint8_t Transparency() const { return transparency_; }
  void SetTransparency(uint8_t transparency) { transparency_ = transparency; }
  // Degrees.
  double RotationAngle() const { return rotationAngle_; }
  void SetRotationAngle(double degrees) { rotationAngle_ = degrees; }
  bool RandomRotation() const { return randomRotation_; }
  void SetRandomRotation(bool random) { randomRotation_ = random; }
  TPrintWizardPictureEffectList& Effects() const { return *effects_; }
  bool AutoRotate() const { return autoRotate_; }
  void SetAutoRotate(bool autoRotate) { autoRotate_ = autoRotate; }
  uint8_t FitMode() const { return fitMode_; }
  void SetFitMode(uint8_t mode) { fitMode_ = mode; }
  // kPictureFitsBox or kPictureCoversBox; other values fit.
  uint8_t BoxFill() const { return boxFill_; }
  void SetBoxFill(uint8_t fill) { boxFill_ = fill; }
  bool CoversBox() const { return boxFill_ == kPictureCoversBox; }
  // A blurred, darkened copy of the photo covers the box behind it, so that a fitted photo leaves
  // no empty bars.
  bool BlurredBackground() const { return blurredBackground_; }
  void SetBlurredBackground(bool blurred) { blurredBackground_ = blurred; }

 private:
  // Writing a bag that uses the slideshow's picture forgets the bound file name.
  mutable std::string fileName_;
  bool keepAspectRatio_ = true;
  bool secondFlag_ = true;
  bool useSlideShowPicture_ = true;
  bool takesNextObject_ = true;
  uint8_t transparency_ = 0;
  double rotationAngle_ = 0;
  bool randomRotation_ = false;
  std::unique_ptr<TPrintWizardPictureEffectList> effects_;
  bool autoRotate_ = false;
  uint8_t fitMode_ = kFitRotatedBounds;
  uint8_t boxFill_ = kPictureFitsBox;
  bool blurredBackground_ = false;
};

class TPrintPageElementPicture : public TPrintablePageElement,
                                 public ICanvasPassControl,
                                 public IFileReferences,
                                 public IRenderNotify,
                                 public ITargetBitmapElement,
                                 public IObjectBoundElement,
                                 public IObjectConsumer,
                                 public IErrorReportingElement,
                                 public IContextPrintable,
                                 public IPictureDecodeAhead {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static constexpr double kDefaultPictureWidth = 0.2;
  static constexpr double kDefaultPictureHeight = 0.1;

  TPrintPageElementPicture();
  ~TPrintPageElementPicture() override;

  static std::string ClassCaption() { return "Bild"; }
  static std::string ClassDescription() { return "Bildobjekt"; }

  std::string Category() const override;
  // "Bild (Bild aus Vistra - n)" with the bound object's number, "Bild (Bild aus Vistra)"
  // without one, or "Bild (file name)" for a fixed picture.
  std::string DisplayName() const override;

  // Loads, prepares and draws the picture centred in the element's rectangle: blended into the
  // target bitmap when there is one (and copied from there onto a canvas of its own), else
  // stretched over the rectangle on the canvas. Without a picture the design view shows a
  // placeholder and final rendering draws nothing, telling the error counter why. Draws with what
  // the documented calls set: the mode, the target, the counter and RandomAngle.
  void Print(TBitmap32* canvas, const TPixelRect& pageRect) override;
  // IContextPrintable: the same for a context, with a random angle of its own drawn from the
  // context's generator, as BeginRender would have drawn it.
  void PrintWith(const TRenderContext& context) override;
  // The picture for an element box of width × height, or none when it cannot be had. In final
  // rendering it is decoded from the file, at a reduced size where the reader can: the working
  // copy (twice the fitted box) stays covered when effects follow, and without effects the
  // picture comes at the size it is drawn. In the design view it comes from the bitmap cache,
  // which receives a copy fitted into the box after a miss.
  virtual std::unique_ptr<TBitmap32> LoadPicture(int32_t width, int32_t height);
  // True when GetFileName is not empty.
  virtual bool HasPicture() const;
  // Replaces the picture by what is drawn: the working copy runs the stage-0 effects, is fitted
  // and turned into the element's box, and the result runs the stage-1 effects. transformation
  // maps the working copy's pixels onto the result. False when there is nothing to draw.
  virtual bool PreparePicture(TBitmap32& picture, const TPixelRect& elementRect,
                              const TPixelRect& pageRect, TAffineTransformation& transformation);
  // Hands the bitmap to the effects of the stage, with the element's resolution and, outside
  // final rendering, the preview flag.
  void ApplyEffects(TBitmap32& bitmap, const TPixelRect& rect,
                    TAffineTransformation* transformation, double sx, double sy, uint8_t stage);

  // IPictureDecodeAhead: in final rendering, the file and the drawing LoadPicture decodes with.
  std::optional<TPictureDecodeRequest> DecodeRequest(const TRenderContext& context) const override;

  // ICanvasPassControl: the picture is complete after the engine's print call.
  bool SkipsCanvasPass() const override { return true; }

  // IFileReferences: the one picture file, followed by the effects' files in the lists.
  std::string GetFileName() const override;
  void SetFileName(const std::string& name) override;
  std::vector<std::string> GetFileNames() const override;
  // FileName := new when old is the stored or the resolved name; then the effects replace it too.
  void ReplaceFileName(const std::string& oldName, const std::string& newName) override;
  std::vector<std::string> GetStoredFileNames() const override;
  std::string GetStoredFileName() const override;
  void SetFileNameAt(int32_t index, const std::string& name) override;
  int32_t FileCount() const override { return 1; }
  std::vector<std::string> GetResolvedFileNames() const override { return GetFileNames(); }

  // IRenderNotify: a new random angle in (−5, 5] degrees for every rendering.
  void BeginRender() override;
  void EndRender() override {}

  // ITargetBitmapElement
  void SetTargetBitmap(TBitmap32* bitmap) override { SetDocumentedTarget(bitmap); }
  TBitmap32* TargetBitmap() const { return DocumentedTarget(); }

  // IObjectBoundElement: with UseSlideShowPicture the bound object's picture becomes FileName.
  void BindObject(const TRef<ITreeItem>& item) override;
  TRef<ITreeItem> GetBoundObject() const override { return boundItem_; }

  // IObjectConsumer: UseSlideShowPicture and TakesNextObject.
  bool TakesObject() const override;

  // IErrorReportingElement: where missing and unreadable pictures are counted.
  void SetErrorCounter(TErrorCounter* counter) override { SetDocumentedErrorCounter(counter); }
  TErrorCounter* ErrorCounter() const { return DocumentedErrorCounter(); }

  // The slideshow object of the bound item; none unless UseSlideShowPicture is set.
  TSlideShowObject* BoundObject() const { return boundObject_; }
  double RandomAngle() const { return randomAngle_; }
  TPrintPageElementPictureProperties& PictureProperties() const;

 private:
  TRef<ITreeItem> boundItem_;
  TSlideShowObject* boundObject_ = nullptr;
  double randomAngle_ = 0;

  // Print for the context, turning by randomAngle when the turn is random.
  void DrawPicture(const TRenderContext& context, double randomAngle);
  // The loaded picture, or the design view's placeholder; counts what could not be loaded.
  TDecodedPicture PictureToDraw(const TRenderContext& context, const TPixelRect& elementRect);
  TDecodedPicture LoadPictureFor(TRenderMode mode, int32_t width, int32_t height);
  // What decides the size the picture is decoded at, for a box of width × height.
  TPictureDrawing DrawingFor(TRenderMode mode, int32_t width, int32_t height) const;
  // shape: the proportions the picture is fitted by, its photo's (TDecodedPicture).
  // With straight, a picture that is neither turned nor has effects is left as it is, to be
  // stretched onto the target as it is drawn (straight says to what size, with which filter).
  bool PreparePictureFor(const TRenderContext& context, double randomAngle, TBitmap32& picture,
                         const TPictureSize& shape, const TPixelRect& elementRect,
                         TAffineTransformation& transformation,
                         TStraightStretch* straight = nullptr);
  void ApplyEffectsFor(const TRenderContext& context, TBitmap32& bitmap, const TPixelRect& rect,
                       TAffineTransformation* transformation, double sx, double sy,
                       uint8_t stage);
};

}  // namespace nimbra
