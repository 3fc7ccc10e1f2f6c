// The picture engine's settings: the picture's size in a unit and at a resolution, and, for pages
// saved as files, the folder, the start of every file name and the picture format. The desktop
// changer sets the size in pixels to the screen's work area before every page.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "render/PictureFormatWriter.h"
#include "render/RenderEngineProperties.h"
#include "render/SizeUnits.h"

namespace nimbra {

class TPrintWizardPictureEngineProperties : public TRenderEngineProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static constexpr const char* kDefaultFileNamePrefix = "Bild";

  TPrintWizardPictureEngineProperties();
  ~TPrintWizardPictureEngineProperties() override;

  // After the inherited fields, one sub-chunk: OutputDirectory, FileNamePrefix, Width, Height,
  // SizeUnit, Resolution and a sub-chunk for the format, empty without one, else its class name
  // and a sub-chunk with the format's own settings. Reading drops the current format first; a
  // stored class that is unknown or no picture format leaves none.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  const std::string& OutputDirectory() const { return outputDirectory_; }
  void SetOutputDirectory(std::string directory) { outputDirectory_ = std::move(directory); }
  const std::string& FileNamePrefix() const { return fileNamePrefix_; }
  void SetFileNamePrefix(std::string prefix) { fileNamePrefix_ = std::move(prefix); }
  // In SizeUnit.
  double Width() const { return width_; }
  void SetWidth(double width) { width_ = width; }
  double Height() const { return height_; }
  void SetHeight(double height) { height_ = height; }
  // One of the kSizeUnit constants; other values count as inches.
  uint8_t SizeUnit() const { return sizeUnit_; }
  void SetSizeUnit(uint8_t unit) { sizeUnit_ = unit; }
  // Dots per inch, for the unit conversion and for every page drawn.
  double Resolution() const { return resolution_; }
  void SetResolution(double dotsPerInch) { resolution_ = dotsPerInch; }

  // The format pages are saved in, or none; the bag owns it.
  TPictureFormatWriter* PictureFormat() const { return pictureFormat_.get(); }
  void FreeFormat();
  // Replaces the format with a new one of the class; a class that is no picture format leaves none.
  void SetFormat(const TMetaClass& formatClass);

  // The picture's size in whole pixels: Width and Height rounded when they are pixels already,
  // converted at Resolution otherwise.
  int32_t PixelWidth() const;
  int32_t PixelHeight() const;
  // Everything saving needs is set: OutputDirectory, FileNamePrefix and PictureFormat.
  bool IsComplete() const;

 private:
  int32_t ToPixels(double length) const;
  void WriteFormat(TCSFStream& stream) const;
  bool ReadFormat(TCSFStream& stream);

  std::string outputDirectory_;
  std::string fileNamePrefix_ = kDefaultFileNamePrefix;
  double width_ = 1024;
  double height_ = 768;
  uint8_t sizeUnit_ = kSizeUnitPixels;
  double resolution_ = 96;
  std::unique_ptr<TPictureFormatWriter> pictureFormat_;
};

}  // namespace nimbra
