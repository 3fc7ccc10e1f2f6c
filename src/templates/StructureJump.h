// Position changes of a project's structure: a jump tells the renderer where in the slideshow to go
// on. Jumps are small plug-ins created by class name when a jump element's bag is read; each keeps
// its own settings in a bag.
#pragma once

#include <memory>
#include <string>

#include "framework/InterfacedPlugin.h"
#include "framework/OwnedBag.h"
#include "framework/Properties.h"
#include "templates/StructureInterfaces.h"

namespace nimbra {

class TCSFStream;

// The base bag of jumps; stores nothing of its own.
class TStructureJumpProperties : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TStructureJumpProperties() = default;
};

class TStructureJump : public TInterfacedPlugin {
  NIMBRA_DECLARE_PLUGIN()

 public:
  ~TStructureJump() override;

  virtual const TMetaClass& PropertiesClass() const { return properties_.Class(); }
  // The new position. It is taken as it is: the renderer does not step over objects it would not
  // bind.
  virtual TRef<ITreeItem> Target(const TRef<ITree>& slideShowTree, const TRef<ITreeItem>& current,
                                 const TJumpMarks& marks) const = 0;
  // Copies another jump's bag through its stored form; anything but a jump is ignored.
  void Assign(const TPlugin& source) override;
  // A sub-chunk around the bag; false after any failure (what was read so far stays).
  virtual bool ReadFromStream(TCSFStream& stream);
  virtual bool WriteToStream(TCSFStream& stream) const;
  // The class's caption.
  virtual std::string DisplayText() const { return Caption(); }

  TStructureJumpProperties& Properties() const { return properties_.Get(); }
  template <typename T>
  T* PropertiesAs() const {
    return properties_.template As<T>();
  }

 protected:
  TStructureJump();
  // Creates the bag from propertiesClass; raises std::logic_error when that is no jump bag.
  explicit TStructureJump(const TMetaClass& propertiesClass);

 private:
  TOwnedBag<TStructureJumpProperties> properties_;
};

// Back to the first root object of the slideshow (none for an empty slideshow).
class TStructureJumpToListBegin : public TStructureJump {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TStructureJumpToListBegin() = default;

  static std::string ClassCaption() { return "Listenanfang"; }
  static std::string ClassDescription() {
    return "Springt an den Anfang der gesamten Liste zurück";
  }

  TRef<ITreeItem> Target(const TRef<ITree>& slideShowTree, const TRef<ITreeItem>& current,
                         const TJumpMarks& marks) const override;
};

class TStructureJumpToJumpMarkProperties : public TStructureJumpProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TStructureJumpToJumpMarkProperties() = default;

  // JumpMarkName, without a sub-chunk of its own.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  const std::string& JumpMarkName() const { return jumpMarkName_; }
  void SetJumpMarkName(std::string name) { jumpMarkName_ = std::move(name); }

 private:
  std::string jumpMarkName_;
};

// To the object of the first jump mark recorded under the name (ASCII letters in any case); the
// position stays when there is no such mark or no name.
class TStructureJumpToJumpMark : public TStructureJump {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TStructureJumpToJumpMark();

  static std::string ClassCaption() { return "Sprungmarke"; }
  static std::string ClassDescription() { return "Springt zu einer Sprungmarke"; }

  TRef<ITreeItem> Target(const TRef<ITree>& slideShowTree, const TRef<ITreeItem>& current,
                         const TJumpMarks& marks) const override;
  // The caption, followed by ": " and the mark's name when one is set.
  std::string DisplayText() const override;
  TStructureJumpToJumpMarkProperties& JumpMarkProperties() const;
};

}  // namespace nimbra
