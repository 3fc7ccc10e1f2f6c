// Conditions of a project's structure: an event tells, for the renderer's current slideshow object,
// whether its element's children run now (event elements) or a loop ends (loop elements). Events
// are small plug-ins created by class name when a structure element's bag is read; each keeps its
// own settings in a bag.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/InterfacedPlugin.h"
#include "framework/OwnedBag.h"
#include "framework/Properties.h"
#include "templates/StructureInterfaces.h"

namespace nimbra {

class TCSFStream;

// The base bag of events; stores nothing of its own.
class TStructureEventProperties : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TStructureEventProperties() = default;
};

class TStructureEvent : public TInterfacedPlugin {
  NIMBRA_DECLARE_PLUGIN()

 public:
  ~TStructureEvent() override;

  virtual const TMetaClass& PropertiesClass() const { return properties_.Class(); }
  // current: the renderer's position (none past the last object); reference: the object a loop
  // was entered at, none for event elements.
  virtual bool IsTriggered(const TRef<ITreeItem>& current, const TRef<ITreeItem>& reference,
                           const TJumpMarks& marks) const = 0;
  // Copies another event's bag through its stored form; anything but an event is ignored.
  void Assign(const TPlugin& source) override;
  // A sub-chunk around the bag; false after any failure (what was read so far stays).
  virtual bool ReadFromStream(TCSFStream& stream);
  virtual bool WriteToStream(TCSFStream& stream) const;

  TStructureEventProperties& Properties() const { return properties_.Get(); }
  template <typename T>
  T* PropertiesAs() const {
    return properties_.template As<T>();
  }

 protected:
  TStructureEvent();
  // Creates the bag from propertiesClass; raises std::logic_error when that is no event bag.
  explicit TStructureEvent(const TMetaClass& propertiesClass);

 private:
  TOwnedBag<TStructureEventProperties> properties_;
};

// Fires once the walk has run past the last object of the slideshow.
class TStructureEventOnListEnd : public TStructureEvent {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TStructureEventOnListEnd() = default;

  static std::string ClassCaption() { return "Listenende"; }
  static std::string ClassDescription() {
    return "Wird ausgelöst, wenn das aktuelle Objekt das letzte in der gesamten Liste ist.";
  }

  bool IsTriggered(const TRef<ITreeItem>& current, const TRef<ITreeItem>& reference,
                   const TJumpMarks& marks) const override;
};

// Fires on a chapter object itself (not on the objects inside it).
class TStructureEventOnChapter : public TStructureEvent {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TStructureEventOnChapter() = default;

  static std::string ClassCaption() { return "Kapitel"; }
  static std::string ClassDescription() {
    return "Wird ausgelöst, wenn das aktuelle Objekt ein Kapitel ist.";
  }

  bool IsTriggered(const TRef<ITreeItem>& current, const TRef<ITreeItem>& reference,
                   const TJumpMarks& marks) const override;
};

// Where the reference chapter of TStructureEventOnChapterEnd is looked for.
inline constexpr uint8_t kChapterEndFromObject = 0;    // the reference object, else the current
inline constexpr uint8_t kChapterEndFromJumpMark = 1;  // the object of the named jump mark

class TStructureEventOnChapterEndProperties : public TStructureEventProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TStructureEventOnChapterEndProperties() = default;

  // One sub-chunk: Mode, JumpMarkName.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  uint8_t Mode() const { return mode_; }
  void SetMode(uint8_t mode) { mode_ = mode; }
  const std::string& JumpMarkName() const { return jumpMarkName_; }
  void SetJumpMarkName(std::string name) { jumpMarkName_ = std::move(name); }

 private:
  uint8_t mode_ = kChapterEndFromObject;
  std::string jumpMarkName_;
};

// Fires once the walk has left the reference chapter: when the current object is none, or lies
// outside the chapter that encloses the reference (Mode 0) or the named jump mark's object (Mode
// 1). Without such a chapter it never fires.
class TStructureEventOnChapterEnd : public TStructureEvent {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TStructureEventOnChapterEnd();

  static std::string ClassCaption() { return "Kapitel-Ende"; }
  static std::string ClassDescription() {
    return "Wird ausgelöst, wenn das aktuelle Objekt das letzte Objekt eines Kapitels.";
  }

  bool IsTriggered(const TRef<ITreeItem>& current, const TRef<ITreeItem>& reference,
                   const TJumpMarks& marks) const override;
  TStructureEventOnChapterEndProperties& ChapterEndProperties() const;
};

// Whether the tree item stands for a chapter object.
bool IsChapterItem(const TRef<ITreeItem>& item);

}  // namespace nimbra
