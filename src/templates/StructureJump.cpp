#include "templates/StructureJump.h"

#include "framework/FieldMap.h"
#include "framework/TreeImplement.h"
#include "templates/RequiredBag.h"
#include "templates/StreamCopy.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TStructureJumpProperties, TProperties)
NIMBRA_DEFINE_PLUGIN(TStructureJump, TInterfacedPlugin)
NIMBRA_DEFINE_PLUGIN(TStructureJumpToListBegin, TStructureJump)
NIMBRA_DEFINE_PLUGIN(TStructureJumpToJumpMarkProperties, TStructureJumpProperties)
NIMBRA_DEFINE_PLUGIN(TStructureJumpToJumpMark, TStructureJump)

// ---- TStructureJump ----

TStructureJump::TStructureJump() : TStructureJump(TStructureJumpProperties::StaticClass()) {}

TStructureJump::TStructureJump(const TMetaClass& propertiesClass)
    : properties_(propertiesClass, "structure jump") {}

TStructureJump::~TStructureJump() = default;

void TStructureJump::Assign(const TPlugin& source) {
  const auto* jump = dynamic_cast<const TStructureJump*>(&source);
  if (jump == nullptr || jump == this) return;
  CopyThroughStream([jump](TCSFStream& stream) { jump->WriteToStream(stream); },
                    [this](TCSFStream& stream) { ReadFromStream(stream); });
}

bool TStructureJump::WriteToStream(TCSFStream& stream) const {
  return properties_.Write(stream);
}

bool TStructureJump::ReadFromStream(TCSFStream& stream) {
  return properties_.Read(stream);
}

// ---- TStructureJumpToListBegin ----

TRef<ITreeItem> TStructureJumpToListBegin::Target(const TRef<ITree>& slideShowTree,
                                                  const TRef<ITreeItem>& /*current*/,
                                                  const TJumpMarks& /*marks*/) const {
  return TTreeImplement::GetFirst(slideShowTree);
}

// ---- TStructureJumpToJumpMarkProperties ----

std::string TStructureJumpToJumpMarkProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TStructureJumpProperties::EditorFrameClassNames(),
                                    "TStructureElementJumpToJumpMarkPropertiesEditorFrame");
}

void TStructureJumpToJumpMarkProperties::MapFields(TFieldMap& map) {
  TStructureJumpProperties::MapFields(map);
  map.String("jumpMarkName", jumpMarkName_);
}

// ---- TStructureJumpToJumpMark ----

TStructureJumpToJumpMark::TStructureJumpToJumpMark()
    : TStructureJump(TStructureJumpToJumpMarkProperties::StaticClass()) {}

TStructureJumpToJumpMarkProperties& TStructureJumpToJumpMark::JumpMarkProperties() const {
  return RequiredBag(PropertiesAs<TStructureJumpToJumpMarkProperties>());
}

TRef<ITreeItem> TStructureJumpToJumpMark::Target(const TRef<ITree>& /*slideShowTree*/,
                                                 const TRef<ITreeItem>& current,
                                                 const TJumpMarks& marks) const {
  const std::string& name = JumpMarkProperties().JumpMarkName();
  if (name.empty()) return current;
  const TRef<IJumpMarkInfo> mark = FindJumpMark(marks, name);
  return mark ? mark->GetObject() : current;
}

std::string TStructureJumpToJumpMark::DisplayText() const {
  const std::string& name = JumpMarkProperties().JumpMarkName();
  return name.empty() ? Caption() : Caption() + ": " + name;
}

}  // namespace nimbra
