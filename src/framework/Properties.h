// A property bag: one coherent set of settings (of a slideshow object, a page element, an engine,
// the album) that writes itself to and reads itself from a chunked stream. Each bag class only
// declares its fields, their defaults (in its constructor) and, once, their stored order in
// MapFields, which WriteToStream, ReadFromStream and DescribeFields follow; copying, cloning,
// resetting, storing in the settings store and editing are built here on top of those.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/InterfacedPlugin.h"

namespace nimbra {

class TCSFStream;
class TFieldMap;
class TFieldWriter;
class TStream;
class TKeyValueStore;

// The class-level part of an editor frame class: frames are Qt widgets found by class name.
class TPropertyEditorFrameClass : public TMetaClass {
 public:
  using TMetaClass::TMetaClass;
  // The caption of the frame's page, asked of the class.
  virtual std::string FrameCaption() const = 0;
};

using TPropertyEditorFrameClassList = std::vector<const TPropertyEditorFrameClass*>;

class TProperties;

// Edits a bag in the frame dialog; the user interface installs one at start-up, so that Edit works
// while this library stays free of widgets.
class IPropertyEditor {
 public:
  virtual ~IPropertyEditor() = default;
  virtual bool EditProperties(TProperties& bag, const std::string& caption, int option,
                              int frameIndex) = 0;
};
std::shared_ptr<IPropertyEditor> PropertyEditor();
void SetPropertyEditor(std::shared_ptr<IPropertyEditor> editor);

// The file type and version a copy is written and read with (Assign, Clone, Reset). Writers always
// write their newest layout, so a copy is read back as the newest version: every reader that asks
// the file version then reads exactly what its writer wrote. (A version of 0 would make such
// readers take the copy for data of the oldest layout and misread fields whose width changed.)
inline constexpr int32_t kCopyFileType = 0;
inline constexpr int32_t kCopyFileVersion = 0x7FFFFFFF;

class TProperties : public TInterfacedPlugin {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TProperties() = default;

  // Copies a bag by writing it and reading it back; other objects leave this bag unchanged.
  void Assign(const TPlugin& source) override;

  virtual TPropertyEditorFrameClassList EditorFrameClasses() const { return {}; }
  // Editor frame class names, one per line (CR LF); subclasses append theirs to their parent's.
  virtual std::string EditorFrameClassNames() const { return {}; }
  // The bag's fields, as MapFields lists them; the base has none and reports true. Any failure is
  // reported as false.
  virtual bool WriteToStream(TCSFStream& stream) const;
  virtual bool ReadFromStream(TCSFStream& stream);
  // The bag alone on a byte stream: no header, no chunk; the file type and version are those a
  // reader of the bag may consult.
  virtual bool SaveToStream(TStream& stream, int32_t fileType, int32_t fileVersion) const;
  virtual bool LoadFromStream(TStream& stream, int32_t fileType, int32_t fileVersion);
  // One named binary value in the settings store's current key.
  virtual bool SaveToRegistry(TKeyValueStore& store, const std::string& valueName, int32_t fileType,
                              int32_t fileVersion) const;
  virtual bool LoadFromRegistry(TKeyValueStore& store, const std::string& valueName,
                                int32_t fileType, int32_t fileVersion);
  // A new bag of the same class with the same values.
  virtual std::unique_ptr<TProperties> Clone() const;
  // Every field back to its constructor default.
  virtual void Reset();
  virtual TPropertyEditorFrameClassList EditorFrames() const;
  virtual const TPropertyEditorFrameClass* FirstEditorFrame() const;
  virtual std::string EditorCaption() const;
  // Edits the bag in the frame dialog; true when the user confirmed.
  // Without an installed editor there is no dialog to show, and the bag stays as it is.
  virtual bool Edit(const std::string& caption, int option, int frameIndex);
  // Lists the fields for tools, in stored order, as MapFields lists them.
  virtual void DescribeFields(TFieldWriter& fields) const;
  // The bag's fields in stored order, listed once for writing, reading and describing; a bag
  // class that adds fields lists its parent's first. The base has none.
  virtual void MapFields(TFieldMap& map);
};

// Creates a bag of the given class, or none when the class is no bag or abstract.
std::unique_ptr<TProperties> CreateProperties(const TMetaClass& bagClass);

// A subclass's EditorFrameClassNames: the inherited names, then its own on a line of its own.
std::string AppendEditorFrameClassName(const std::string& inherited, std::string_view name);
// The lines of a text whose lines end with CR LF, LF or CR; a break at the very end adds no line.
std::vector<std::string> SplitLines(std::string_view text);
// The lines joined with CR LF (none after the last).
std::string JoinLines(const std::vector<std::string>& lines);

// A sub-chunk a bag writes: opened on construction; End closes it (writing its length) and raises
// when that fails. When the scope is left by an exception the sub-chunk is closed quietly, so the
// stream's open frames stay balanced for whatever is written next.
class TWriteSubChunk {
 public:
  explicit TWriteSubChunk(TCSFStream& stream);
  ~TWriteSubChunk();
  TWriteSubChunk(const TWriteSubChunk&) = delete;
  TWriteSubChunk& operator=(const TWriteSubChunk&) = delete;
  void End();

 private:
  TCSFStream& stream_;
  bool open_ = true;
};

// A sub-chunk a bag reads: entered on construction (raising when its length is impossible), left
// when the scope ends however the read ended, so fields a newer writer appended are skipped.
class TReadSubChunk {
 public:
  explicit TReadSubChunk(TCSFStream& stream);
  ~TReadSubChunk();
  TReadSubChunk(const TReadSubChunk&) = delete;
  TReadSubChunk& operator=(const TReadSubChunk&) = delete;
  // The payload's length in bytes.
  int32_t Length() const { return length_; }

 private:
  TCSFStream& stream_;
  int32_t length_;
};

}  // namespace nimbra
