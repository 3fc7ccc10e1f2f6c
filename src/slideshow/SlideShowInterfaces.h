// The interfaces through which the rest of the system asks slideshow objects for their data (text,
// keywords, file names, EXIF record, children) and recognises their kinds. Every identifier shares
// its first twelve bytes; the last ones carry the interface number. Interfaces whose operations
// belong to the player are declared here so kinds can be recognised; the player adds their
// operations.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Interface.h"
#include "raster/Bitmap32.h"

namespace nimbra {

class TMetaClass;
class TSlideShow;
class TSlideShowObject;
class TSlideShowObjectExif;
class TSlideShowObjectList;

// Implemented by every slideshow object.
class ISlideShowObject : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-000000000100}";

  // The implementing object.
  virtual TSlideShowObject* GetObject() = 0;
  // The document that holds the object; none for a free object.
  virtual TSlideShow* SlideShow() const = 0;
  virtual std::string DisplayName() const = 0;
  // The name shown where more room is; the base answers DisplayName.
  virtual std::string FullDisplayName() const = 0;
  // New bitmaps; none when the class has no icon.
  virtual std::unique_ptr<TBitmap32> SmallIcon() const = 0;
  virtual std::unique_ptr<TBitmap32> LargeIcon() const = 0;
};

// Playable objects; the playback operations come with the player.
class IPlayable : public virtual ISlideShowObject {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-000000000110}";
};

// Objects that contain other objects.
class ICollection : public virtual ISlideShowObject {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-000000000180}";

  // The child list, or none while the object has none.
  virtual TSlideShowObjectList* Children() const = 0;
  // Makes sure the child list exists and yields it.
  virtual TSlideShowObjectList& CreateChildren() = 0;
};

// The parallel group alone.
class IParallel : public virtual ISlideShowObject {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-000000000181}";

  virtual TSlideShowObjectList* Children() const = 0;
  virtual TSlideShowObjectList& CreateChildren() = 0;
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
};

// The chapter alone.
class IChapter : public virtual ISlideShowObject {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-000000000182}";

  virtual TSlideShowObjectList* Children() const = 0;
  virtual TSlideShowObjectList& CreateChildren() = 0;
  virtual std::string ChapterText() const = 0;
  virtual void SetChapterText(const std::string& text) = 0;
};

// The collage alone.
class ICollage : public virtual ISlideShowObject {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-000000000183}";

  virtual TSlideShowObjectList* Children() const = 0;
  virtual TSlideShowObjectList& CreateChildren() = 0;
};

// The picture-text-sound composite alone; it builds its part objects for the player.
class IComposite : public virtual ISlideShowObject {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-000000000184}";
};

// The editor frame of an object's settings, found by class name.
class IPropertyFrame : public virtual ISlideShowObject {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-0000000001A2}";

  // None: no frame class is part of this system.
  virtual const TMetaClass* PropertyFrameClass() const = 0;
  virtual std::string PropertyFrameClassName() const = 0;
};

// Editing an object on a preview; no reader of this system asks for its operations.
class IPreviewEditor : public virtual ISlideShowObject {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-0000000001A1}";
};

// The version of the preview editor that extended pictures and text objects implement.
class IPreviewEditorExt : public virtual IPreviewEditor {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-0000000001A3}";
};

// The sound of an object for the player.
class ISoundSource : public virtual ISlideShowObject {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-0000000001B0}";
};

// Objects the player draws.
class IVisible : public virtual ISlideShowObject {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-000000000170}";
};

class IPositionPath : public virtual IVisible {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-000000000171}";
};

class IRotationCurve : public virtual IVisible {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-000000000172}";
};

class IZoomCurve : public virtual IVisible {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-000000000173}";
};

class IOpacityCurve : public virtual IVisible {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-000000000174}";
};

// The text of an object.
class IText : public virtual ISlideShowObject {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-000000000210}";

  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
};

// The keywords of a playable object.
class IKeywords : public virtual ISlideShowObject {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-000000000211}";

  virtual std::string Keywords() const = 0;
  virtual void SetKeywords(const std::string& keywords) = 0;
};

// The EXIF record of a picture object.
class IExifSource : public virtual ISlideShowObject {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-000000000212}";

  // Whether the picture carries EXIF data (looked at in the file on the first question).
  virtual bool HasExif() = 0;
  // The record, read from the file the first time it is asked for; none when there is none.
  virtual TSlideShowObjectExif* Exif() = 0;
  // Reads the record again from the resolved file; false when that failed.
  virtual bool ReloadExif() = 0;
};

// The files an object refers to (pictures and sounds refer to exactly one). Also implemented
// outside the slideshow model: music settings, page templates, picture effects, picture elements.
class IFileReferences : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-000000000213}";

  // 1. The full path of the first file; empty when it cannot be found.
  virtual std::string GetFileName() const = 0;
  // 2. Stores the name; a different name is reported as a change.
  virtual void SetFileName(const std::string& name) = 0;
  // 3. The resolved full paths (the stored name where it cannot be resolved).
  virtual std::vector<std::string> GetFileNames() const = 0;
  // 4. When the old name equals the stored name or its resolved path, the new name is stored.
  virtual void ReplaceFileName(const std::string& oldName, const std::string& newName) = 0;
  // 5. The stored names.
  virtual std::vector<std::string> GetStoredFileNames() const = 0;
  // 6. The stored name of the first file.
  virtual std::string GetStoredFileName() const = 0;
  // 7. As SetFileName, for the file at the index.
  virtual void SetFileNameAt(int32_t index, const std::string& name) = 0;
  // 8. The number of files.
  virtual int32_t FileCount() const = 0;
  // 9. The resolved full paths.
  virtual std::vector<std::string> GetResolvedFileNames() const = 0;
};

// The file references of picture objects.
class IPictureFile : public virtual IFileReferences {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-000000000215}";
};

// The font and layout of an object's text for the player.
class ITextFormat : public virtual ISlideShowObject {
 public:
  static constexpr std::string_view kIID = "{28F7F0F5-892B-4D74-AE09-000000000214}";
};

}  // namespace nimbra
