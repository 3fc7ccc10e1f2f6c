// One picture of a collage: which files it may show (one is picked at random, the same one for the
// picture's whole life), where it goes relative to the main picture, and how it is sized and
// turned. TCollagePicsList is the owning list a collage bag keeps of them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "raster/Bitmap32.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/ClassRegistry.h"

namespace nimbra {

class TCSFStream;
class TFieldMap;
class TFieldWriter;

// Anchors in a 3 × 3 grid, row by row; kPlacementFitted fits the picture to the main picture.
inline constexpr uint8_t kPlacementTopLeft = 0;
inline constexpr uint8_t kPlacementBottomRight = 8;
inline constexpr uint8_t kPlacementFitted = 9;

class TCollagePic : public TObject {
  NIMBRA_DECLARE_CLASS()

 public:
  // Draws the picture's seed.
  TCollagePic();
  ~TCollagePic() override;
  TCollagePic(const TCollagePic&) = delete;
  TCollagePic& operator=(const TCollagePic&) = delete;

  // The picture, chosen and loaded on first use: one of the non-empty lines of FileNames, drawn
  // with the picture's own seed (the same line every time), resolved as template files are, from
  // the program's bitmap cache or else decoded and cached. None when no line names a readable
  // picture, and for resource pictures: the program has no picture resources.
  virtual const TBitmap32* GetBitmap();
  // Lets go of the loaded picture (after each drawing).
  virtual void FreeBitmap();
  // The fields, bounds first; older data ends after AngleRange, so the last five fields are read
  // only when the enclosing sub-chunk has more.
  void MapFields(TFieldMap& map);
  // The fields alone, as MapFields lists them; false after any failure.
  virtual bool WriteToStream(TCSFStream& stream) const;
  virtual bool ReadFromStream(TCSFStream& stream);
  void DescribeFields(TFieldWriter& fields) const;
  virtual std::string EditorFrameClassName() const {
    return "TPrintWizardPictureEffectUserCollagePropertiesEditorHelperFrame";
  }

  uint32_t Seed() const { return seed_; }
  void SetSeed(uint32_t seed) { seed_ = seed; }
  // Fractions of the main picture's area.
  const TDoubleRect& Bounds() const { return bounds_; }
  void SetBounds(const TDoubleRect& bounds) { bounds_ = bounds; }
  uint8_t Placement() const { return placement_; }
  void SetPlacement(uint8_t placement) { placement_ = placement; }
  // Centimetres, for the grid placements.
  double Width() const { return width_; }
  void SetWidth(double centimetres) { width_ = centimetres; }
  double Height() const { return height_; }
  void SetHeight(double centimetres) { height_ = centimetres; }
  double OffsetX() const { return offsetX_; }
  void SetOffsetX(double centimetres) { offsetX_ = centimetres; }
  double OffsetY() const { return offsetY_; }
  void SetOffsetY(double centimetres) { offsetY_ = centimetres; }
  // FileNames names a picture resource of the program instead of files.
  bool FromResource() const { return fromResource_; }
  void SetFromResource(bool fromResource) { fromResource_ = fromResource; }
  // Candidate pictures, one name per line.
  const std::string& FileNames() const { return fileNames_; }
  void SetFileNames(std::string names) { fileNames_ = std::move(names); }
  bool KeepAspectRatio() const { return keepAspectRatio_; }
  void SetKeepAspectRatio(bool keep) { keepAspectRatio_ = keep; }
  bool ScaleWithPicture() const { return scaleWithPicture_; }
  void SetScaleWithPicture(bool scale) { scaleWithPicture_ = scale; }
  // Degrees.
  double Angle() const { return angle_; }
  void SetAngle(double degrees) { angle_ = degrees; }
  double AngleRange() const { return angleRange_; }
  void SetAngleRange(double degrees) { angleRange_ = degrees; }
  // Pixels from the picture's centre.
  int32_t CenterX() const { return centerX_; }
  void SetCenterX(int32_t pixels) { centerX_ = pixels; }
  int32_t CenterY() const { return centerY_; }
  void SetCenterY(int32_t pixels) { centerY_ = pixels; }
  // Stored and loaded; nothing reads them.
  double Reserved(int index) const { return reserved_.at(static_cast<size_t>(index)); }
  void SetReserved(int index, double value) { reserved_.at(static_cast<size_t>(index)) = value; }
  bool ReservedFlag() const { return reservedFlag_; }
  void SetReservedFlag(bool flag) { reservedFlag_ = flag; }

 protected:
  // Shared with the bitmap cache, so it is never changed.
  std::shared_ptr<const TBitmap32> bitmap_;

 private:
  // The line GetBitmap loads, as stored; empty when there is none.
  std::string ChosenFileName() const;

  uint32_t seed_;
  TDoubleRect bounds_{0, 0, 1, 1};
  uint8_t placement_ = kPlacementFitted;
  double width_ = 1;
  double height_ = 1;
  double offsetX_ = 0;
  double offsetY_ = 0;
  bool fromResource_ = false;
  std::string fileNames_;
  bool keepAspectRatio_ = true;
  bool scaleWithPicture_ = true;
  double angle_ = 0;
  double angleRange_ = 0;
  int32_t centerX_ = 0;
  int32_t centerY_ = 0;
  std::array<double, 4> reserved_{};
  bool reservedFlag_ = false;
};

class TCollagePicsList {
 public:
  TCollagePicsList() = default;
  TCollagePicsList(const TCollagePicsList&) = delete;
  TCollagePicsList& operator=(const TCollagePicsList&) = delete;

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // Raises std::out_of_range outside the list.
  TCollagePic& Items(int32_t index) const { return *items_.at(static_cast<size_t>(index)); }
  TCollagePic& Add(std::unique_ptr<TCollagePic> picture);
  void Clear() { items_.clear(); }

 private:
  std::vector<std::unique_ptr<TCollagePic>> items_;
};

}  // namespace nimbra
