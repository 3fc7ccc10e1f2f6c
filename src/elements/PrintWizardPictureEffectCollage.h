// Collages lay one or more further pictures over or around the main picture, after it was scaled
// and rotated; the bitmap grows when they reach beyond it. The user collages offered to the
// designer hold one or four pictures.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "elements/CollagePic.h"
#include "elements/PrintWizardPictureEffect.h"
#include "framework/FieldMap.h"
#include "slideshow/SlideShowInterfaces.h"

namespace nimbra {

class TPrintWizardPictureEffectCollageProperties : public TPrintWizardPictureEffectProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintWizardPictureEffectCollageProperties() = default;

  // A sub-chunk with FollowPicture, then one with the number of pictures and a sub-chunk per
  // picture (its class name and fields). Stored pictures fill the existing list in order; those
  // beyond its length are passed over.
  void MapFields(TFieldMap& map) override;

  // The collage moves with the main picture's transformation.
  bool FollowPicture() const { return followPicture_; }
  void SetFollowPicture(bool follow) { followPicture_ = follow; }
  TCollagePicsList& Pictures() { return pictures_; }
  const TCollagePicsList& Pictures() const { return pictures_; }

 private:
  TStoredPart PicturesPart();

  bool followPicture_ = true;
  TCollagePicsList pictures_;
};

class TPrintWizardPictureEffectUserCollageProperties
    : public TPrintWizardPictureEffectCollageProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintWizardPictureEffectUserCollageProperties() = default;

  std::string EditorFrameClassNames() const override;
};

class TPrintWizardPictureEffectCollage : public TPrintWizardPictureEffect, public IFileReferences {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintWizardPictureEffectCollageProperties& CollageProperties() const;

  // Lays the pictures over or around the main picture (rect, in the working picture's pixels).
  // When they reach beyond the bitmap it grows to hold them, and the transformation moves with
  // the main picture's content. A collage that would need a bitmap beyond the size any picture
  // may have is left out (Skipped()). Each picture's bitmap is let go after drawing.
  void Apply(TBitmap32& bitmap, const TPixelRect& rect, double dpi,
             TAffineTransformation* transformation, double sx, double sy) override;
  // Sets result to where the picture's bitmap goes on the main bitmap, mainRect being the main
  // picture's area: fitted over it (placement 9) or sized in centimetres and anchored in the
  // grid cell of its bounds, moved by its offset, turned, then carried by the main picture's
  // transformation when the collage follows it. False (result unset) for an empty bitmap or a
  // transformation that stored nonsense made impossible.
  virtual bool PictureTransformation(TCollagePic& picture, const TBitmap32& pictureBitmap,
                                     double sx, double sy, double dpi,
                                     const TAffineTransformation* transformation,
                                     const TPixelRect& mainRect, TAffineTransformation& result);
  // Draws one picture onto the main bitmap, merged (blended in the preview); when rendering, a
  // picture more than twice as large as it is drawn is reduced first.
  virtual void DrawPicture(TBitmap32& bitmap, TCollagePic& picture, const TPixelRect& mainRect,
                           double dpi, const TAffineTransformation* transformation, double sx,
                           double sy);

  // IFileReferences over the pictures' file names: every non-empty line, pictures in list
  // order; resolved ones against no document.
  std::string GetFileName() const override;
  // The collage's files are edited picture by picture; these two change nothing.
  void SetFileName(const std::string&) override {}
  std::vector<std::string> GetFileNames() const override;
  // In every picture that is not taken from the program's resources, each line that is old or
  // resolves to it becomes new.
  void ReplaceFileName(const std::string& oldName, const std::string& newName) override;
  std::vector<std::string> GetStoredFileNames() const override;
  std::string GetStoredFileName() const override;
  void SetFileNameAt(int32_t, const std::string&) override {}
  int32_t FileCount() const override;
  std::vector<std::string> GetResolvedFileNames() const override { return GetFileNames(); }

 protected:
  explicit TPrintWizardPictureEffectCollage(const TMetaClass& propertiesClass);

 private:
  // The pictures are carried by the main picture's transformation.
  bool FollowsTransformation(const TAffineTransformation* transformation) const;
};

class TPrintWizardPictureEffectUserCollage : public TPrintWizardPictureEffectCollage {
  NIMBRA_DECLARE_PLUGIN()

 public:
  // The number of pictures, fixed by the class.
  virtual int32_t PictureCount() const { return pictureCount_; }

 protected:
  // Fills the bag's list with pictureCount new, empty pictures.
  explicit TPrintWizardPictureEffectUserCollage(int32_t pictureCount);

 private:
  int32_t pictureCount_;
};

class TPrintWizardPictureEffectUserCollage1Pic : public TPrintWizardPictureEffectUserCollage {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintWizardPictureEffectUserCollage1Pic() : TPrintWizardPictureEffectUserCollage(1) {}

  static std::string ClassCaption() { return "Collage"; }
};

class TPrintWizardPictureEffectUserCollage4Pic : public TPrintWizardPictureEffectUserCollage {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintWizardPictureEffectUserCollage4Pic() : TPrintWizardPictureEffectUserCollage(4) {}

  static std::string ClassCaption() { return "Collage (4 Bilder)"; }
};

}  // namespace nimbra
