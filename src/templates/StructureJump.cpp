#include "templates/StructureJump.h"

#include "framework/FieldWriter.h"
#include "framework/TreeImplement.h"
#include "storage/Check.h"
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
    : propertiesClass_(&propertiesClass),
      properties_(CreateAs<TStructureJumpProperties>(propertiesClass)) {
  NIMBRA_CHECK(properties_, propertiesClass.ClassName() + " is no structure jump bag");
}

TStructureJump::~TStructureJump() = default;

void TStructureJump::Assign(const TPlugin& source) {
  const auto* jump = dynamic_cast<const TStructureJump*>(&source);
  if (jump == nullptr || jump == this) return;
  CopyThroughStream([jump](TCSFStream& stream) { jump->WriteToStream(stream); },
                    [this](TCSFStream& stream) { ReadFromStream(stream); });
}

bool TStructureJump::WriteToStream(TCSFStream& stream) const {
  try {
    TWriteSubChunk chunk(stream);
    const bool written = properties_->WriteToStream(stream);
    chunk.End();
    return written;
  } catch (...) {
    return false;
  }
}

bool TStructureJump::ReadFromStream(TCSFStream& stream) {
  try {
    TReadSubChunk chunk(stream);
    return properties_->ReadFromStream(stream);
  } catch (...) {
    return false;
  }
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

bool TStructureJumpToJumpMarkProperties::WriteToStream(TCSFStream& stream) const {
  if (!TStructureJumpProperties::WriteToStream(stream)) return false;
  try {
    stream.WriteString(jumpMarkName_);
    return true;
  } catch (...) {
    return false;
  }
}

bool TStructureJumpToJumpMarkProperties::ReadFromStream(TCSFStream& stream) {
  if (!TStructureJumpProperties::ReadFromStream(stream)) return false;
  try {
    jumpMarkName_ = stream.ReadString();
    return true;
  } catch (...) {
    return false;
  }
}

void TStructureJumpToJumpMarkProperties::DescribeFields(TFieldWriter& fields) const {
  TStructureJumpProperties::DescribeFields(fields);
  fields.Text("jumpMarkName", jumpMarkName_);
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
