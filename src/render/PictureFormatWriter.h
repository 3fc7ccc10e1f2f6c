// The picture formats pages can be saved in: plug-ins around the raster library's writers, stored
// by class name in the picture engine's settings together with their own settings, and found again
// through the run-time class registry (the render unit's start-up registers them).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Plugin.h"
#include "raster/Bitmap32.h"

namespace nimbra {

class TCSFStream;
class TStream;

class TPictureFormatWriter : public TPlugin {
  NIMBRA_DECLARE_PLUGIN()

 public:
  // The extension a saved file gets, lower case and without the dot; empty for none.
  virtual std::string DefaultExtension() const = 0;
  // The format's own settings; none in this base.
  virtual void WriteSettings(TCSFStream& stream) const;
  virtual bool ReadSettings(TCSFStream& stream);
  // Writes the picture; raises what the writer or the stream raises.
  virtual void Write(const TBitmap32& bitmap, TStream& stream) const = 0;
  // Writes the picture as a file, replacing it only once it is complete; false on any failure.
  bool SaveToFile(const TBitmap32& bitmap, const std::string& fileName) const;
};

// Windows bitmap with 24 bits per pixel (alpha dropped) or 32.
class TBmpFormatWriter : public TPictureFormatWriter {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static std::string ClassCaption() { return "Windows-Bitmap"; }
  static std::string ClassDescription() { return "Speichert Seiten als BMP-Datei"; }

  std::string DefaultExtension() const override { return "bmp"; }
  // One byte: BitsPerPixel.
  void WriteSettings(TCSFStream& stream) const override;
  bool ReadSettings(TCSFStream& stream) override;
  void Write(const TBitmap32& bitmap, TStream& stream) const override;

  int BitsPerPixel() const { return bitsPerPixel_; }
  // 32 keeps alpha; any other value means 24.
  void SetBitsPerPixel(int bits) { bitsPerPixel_ = bits == 32 ? 32 : 24; }

 private:
  int bitsPerPixel_ = 24;
};

class TPngFormatWriter : public TPictureFormatWriter {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static std::string ClassCaption() { return "PNG-Bild"; }
  static std::string ClassDescription() { return "Speichert Seiten verlustfrei als PNG-Datei"; }

  std::string DefaultExtension() const override { return "png"; }
  void Write(const TBitmap32& bitmap, TStream& stream) const override;
};

class TJpegFormatWriter : public TPictureFormatWriter {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static constexpr int kDefaultQuality = 90;

  static std::string ClassCaption() { return "JPEG-Bild"; }
  static std::string ClassDescription() { return "Speichert Seiten als JPEG-Datei"; }

  std::string DefaultExtension() const override { return "jpg"; }
  // One 32-bit integer: Quality.
  void WriteSettings(TCSFStream& stream) const override;
  bool ReadSettings(TCSFStream& stream) override;
  void Write(const TBitmap32& bitmap, TStream& stream) const override;

  int Quality() const { return quality_; }
  // Held within 1 … 100.
  void SetQuality(int quality);

 private:
  int quality_ = kDefaultQuality;
};

// The format classes of this library, in the order a chooser lists them.
std::vector<const TPluginClass*> PictureFormatWriterClasses();
// The class among them whose files get this extension (any case, without the dot; "jpeg" is
// JPEG too); none when there is none.
const TPluginClass* FindPictureFormatWriter(std::string_view extension);

}  // namespace nimbra
