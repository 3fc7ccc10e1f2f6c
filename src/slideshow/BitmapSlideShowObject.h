// The bases of the objects that show a picture: visible objects, objects edited on a preview, the
// picture base with where and how its picture is placed on the screen, and the extended picture
// base with its animation curves and its own transition. The curves and the transition are drawn
// by the player; until their classes exist an object keeps them as the bytes it read and writes
// them back unchanged.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "slideshow/PicturePlacement.h"
#include "slideshow/PlayableSlideShowObject.h"

namespace nimbra {

class TTransitionPlugin;

// Objects the player draws. What they draw into and where is the player's; nothing is stored.
class TVisibleSlideShowObject : public TPlayableSlideShowObject, public virtual IVisible {
  NIMBRA_DECLARE_PLUGIN()
};

// Objects edited on a preview; the handles are the editor's, nothing is stored.
class TPreviewEditorSlideShowObject : public TVisibleSlideShowObject,
                                      public virtual IPreviewEditor {
  NIMBRA_DECLARE_PLUGIN()
};

class TBaseBitmapSlideShowObject : public TPreviewEditorSlideShowObject {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TBaseBitmapSlideShowObject() = default;

  static std::string ClassCaption() { return "Bild"; }
  static std::string ClassDescription() { return "Eine beliebige Grafikdatei"; }

  bool KeepAspectRatio() const { return keepAspectRatio_; }
  void SetKeepAspectRatio(bool keep) { keepAspectRatio_ = keep; }
  // A TPictureAlignment value.
  uint8_t Alignment() const { return alignment_; }
  void SetAlignment(uint8_t alignment) { alignment_ = alignment; }
  // Fractions of the screen's width and height.
  const TDoubleRect& PlacementRect() const { return placementRect_; }
  void SetPlacementRect(const TDoubleRect& rect) { placementRect_ = rect; }
  // Off: the picture keeps its pixel size.
  bool ScaleToRect() const { return scaleToRect_; }
  void SetScaleToRect(bool scale) { scaleToRect_ = scale; }
  // Fill the screen outside the picture with the background colour.
  bool FillBackground() const { return fillBackground_; }
  void SetFillBackground(bool fill) { fillBackground_ = fill; }
  TColor32 BackgroundColor() const { return backgroundColor_; }
  void SetBackgroundColor(TColor32 colour) { backgroundColor_ = colour; }
  // A TCombineMode value.
  uint8_t CombineMode() const { return combineMode_; }
  void SetCombineMode(uint8_t mode) { combineMode_ = mode; }

  TPlacementSettings Placement() const;
  // Where a picture of the size lands on the screen rectangle.
  TPixelRect PictureRect(int32_t width, int32_t height, const TPixelRect& screen) const;

  void CopyFrom(const TSlideShowObject& other) override;
  std::string PropertyFrameClassName() const override;
  void MapFields(TFieldMap& map) override;

 private:
  bool keepAspectRatio_ = true;
  uint8_t alignment_ = static_cast<uint8_t>(TPictureAlignment::Centre);
  TDoubleRect placementRect_{0, 0, 1, 1};
  bool scaleToRect_ = true;
  bool fillBackground_ = true;
  TColor32 backgroundColor_ = kColor32Black;
  uint8_t combineMode_ = static_cast<uint8_t>(TCombineMode::Opaque);
};

// The animation curves of extended pictures and text objects, in their stored order.
enum class TCurveKind { Opacity = 0, Rotation = 1, Zoom = 2, PositionPath = 3 };
inline constexpr int kCurveCount = 4;

// The value ranges a curve gets when it is created.
inline constexpr int32_t kOpacityCurveMax = 255;
inline constexpr int32_t kRotationCurveMax = 35999;  // hundredths of a degree
inline constexpr int32_t kZoomCurveMax = 10000;

class TBaseExtBitmapSlideShowObject : public TBaseBitmapSlideShowObject,
                                      public virtual IOpacityCurve,
                                      public virtual IRotationCurve,
                                      public virtual IZoomCurve,
                                      public virtual IPositionPath,
                                      public virtual IPreviewEditorExt {
  NIMBRA_DECLARE_PLUGIN()

 public:
  // No curves, and a random transition.
  TBaseExtBitmapSlideShowObject();

  // A curve's stored form: a 32-bit flag (1 present, 0 absent), then the curve.
  const std::string& CurveData(TCurveKind kind) const {
    return curveData_[static_cast<size_t>(kind)];
  }
  void SetCurveData(TCurveKind kind, std::string bytes);
  bool HasCurve(TCurveKind kind) const;
  // The transition's stored entry: a 32-bit flag, then its class name and data.
  const std::string& TransitionData() const { return transitionData_; }
  void SetTransitionData(std::string bytes) { transitionData_ = std::move(bytes); }
  // A new instance of the stored transition; none without one or when its class is unknown.
  std::unique_ptr<TTransitionPlugin> Transition() const;
  void SetTransition(const TTransitionPlugin* transition);

  void CopyFrom(const TSlideShowObject& other) override;
  std::string PropertyFrameClassName() const override;
  // Five sub-chunks: the four curves, then the transition.
  void MapFields(TFieldMap& map) override;

 private:
  std::array<std::string, kCurveCount> curveData_;
  std::string transitionData_;
};

// The stored form of an absent curve with a presence flag: the flag 0.
const std::string& AbsentCurveData();
// The four curves, each kept as the bytes of a sub-chunk of its own, in their stored order.
void MapCurves(TFieldMap& map, std::array<std::string, kCurveCount>& curves);

}  // namespace nimbra
