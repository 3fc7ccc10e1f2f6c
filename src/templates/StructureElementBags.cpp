#include "templates/StructureElementBags.h"

#include "framework/FieldWriter.h"
#include "framework/Plugins.h"
#include "storage/CSFStream.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TStructureElementPageProperties, TPageTemplateStructureElementProperties)
NIMBRA_DEFINE_PLUGIN(TPageTemplateStructureElementEventProperties,
                     TPageTemplateStructureElementProperties)
NIMBRA_DEFINE_PLUGIN(TPageTemplateSlideShowStructureElementEventProperties,
                     TPageTemplateStructureElementEventProperties)
NIMBRA_DEFINE_PLUGIN(TStructureElementJumpProperties, TPageTemplateStructureElementProperties)
NIMBRA_DEFINE_PLUGIN(TSlideShowStructureElementJumpProperties, TStructureElementJumpProperties)
NIMBRA_DEFINE_PLUGIN(TStructureElementJumpMarkProperties, TPageTemplateStructureElementProperties)
NIMBRA_DEFINE_PLUGIN(TStructureElementLoopProperties, TPageTemplateStructureElementProperties)
NIMBRA_DEFINE_PLUGIN(TSlideShowStructureElementLoopProperties, TStructureElementLoopProperties)

namespace {

// An event or jump field: the class name, empty for none, then the object's own stored form in a
// sub-chunk of its own.
template <typename T>
bool WritePluginField(TCSFStream& stream, const T* object) {
  stream.WriteString(object != nullptr ? object->ClassName() : std::string());
  if (object == nullptr) return true;
  TWriteSubChunk chunk(stream);
  const bool written = object->WriteToStream(stream);
  chunk.End();
  return written;
}

enum class TFieldRead { Read, Failed, UnknownClass };

// The class stored under the name, looked up as documents look up their classes; none unless it
// is a T.
template <typename T>
const TMetaClass* FindPluginClass(const std::string& name) {
  const TMetaClass* found = MainPlugins() != nullptr ? MainPlugins()->FindClass(name) : nullptr;
  if (found == nullptr) found = GetClass(name);
  return found != nullptr && found->InheritsFrom(T::StaticClass()) ? found : nullptr;
}

// Replaces the object by one of the stored class. An unknown class leaves none: its data has no
// reader, so whatever follows in the enclosing sub-chunk stays unread.
template <typename T>
TFieldRead ReadPluginField(TCSFStream& stream, std::unique_ptr<T>& object) {
  Free(object);
  const std::string name = stream.ReadString();
  if (name.empty()) return TFieldRead::Read;
  const TMetaClass* pluginClass = FindPluginClass<T>(name);
  if (pluginClass != nullptr) object = CreateAs<T>(*pluginClass);
  if (!object) return TFieldRead::UnknownClass;
  TReadSubChunk chunk(stream);
  return object->ReadFromStream(stream) ? TFieldRead::Read : TFieldRead::Failed;
}

template <typename T>
std::string ClassNameOf(const T* object) {
  return object != nullptr ? object->ClassName() : std::string();
}

}  // namespace

// ---- page ----

std::string TStructureElementPageProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TPageTemplateStructureElementProperties::EditorFrameClassNames(),
                                    "TStructureElementPagePropertiesEditorFrame");
}

bool TStructureElementPageProperties::WriteToStream(TCSFStream& stream) const {
  if (!TPageTemplateStructureElementProperties::WriteToStream(stream)) return false;
  try {
    stream.WriteCardinal(templateID_);
    return true;
  } catch (...) {
    return false;
  }
}

bool TStructureElementPageProperties::ReadFromStream(TCSFStream& stream) {
  if (!TPageTemplateStructureElementProperties::ReadFromStream(stream)) return false;
  try {
    templateID_ = stream.ReadCardinal();
    return true;
  } catch (...) {
    return false;
  }
}

void TStructureElementPageProperties::DescribeFields(TFieldWriter& fields) const {
  TPageTemplateStructureElementProperties::DescribeFields(fields);
  fields.Integer("templateId", templateID_);
}

// ---- event ----

TPageTemplateStructureElementEventProperties::TPageTemplateStructureElementEventProperties() =
    default;
TPageTemplateStructureElementEventProperties::~TPageTemplateStructureElementEventProperties() =
    default;

std::string TPageTemplateStructureElementEventProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TPageTemplateStructureElementProperties::EditorFrameClassNames(),
                                    "TStructureElementEventPropertiesEditorFrame");
}

bool TPageTemplateStructureElementEventProperties::WriteToStream(TCSFStream& stream) const {
  if (!TPageTemplateStructureElementProperties::WriteToStream(stream)) return false;
  try {
    return WritePluginField(stream, event_.get());
  } catch (...) {
    return false;
  }
}

bool TPageTemplateStructureElementEventProperties::ReadFromStream(TCSFStream& stream) {
  if (!TPageTemplateStructureElementProperties::ReadFromStream(stream)) return false;
  try {
    return ReadPluginField(stream, event_) != TFieldRead::Failed;
  } catch (...) {
    return false;
  }
}

void TPageTemplateStructureElementEventProperties::DescribeFields(TFieldWriter& fields) const {
  TPageTemplateStructureElementProperties::DescribeFields(fields);
  fields.Text("event", ClassNameOf(event_.get()));
}

std::string TPageTemplateSlideShowStructureElementEventProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(
      TPageTemplateStructureElementEventProperties::EditorFrameClassNames(),
      "TSlideShowStructureElementEventPropertiesEditorFrame");
}

// ---- jump ----

TStructureElementJumpProperties::TStructureElementJumpProperties() = default;
TStructureElementJumpProperties::~TStructureElementJumpProperties() = default;

std::string TStructureElementJumpProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TPageTemplateStructureElementProperties::EditorFrameClassNames(),
                                    "TStructureElementJumpPropertiesEditorFrame");
}

bool TStructureElementJumpProperties::WriteToStream(TCSFStream& stream) const {
  if (!TPageTemplateStructureElementProperties::WriteToStream(stream)) return false;
  try {
    return WritePluginField(stream, jump_.get());
  } catch (...) {
    return false;
  }
}

bool TStructureElementJumpProperties::ReadFromStream(TCSFStream& stream) {
  if (!TPageTemplateStructureElementProperties::ReadFromStream(stream)) return false;
  try {
    return ReadPluginField(stream, jump_) != TFieldRead::Failed;
  } catch (...) {
    return false;
  }
}

void TStructureElementJumpProperties::DescribeFields(TFieldWriter& fields) const {
  TPageTemplateStructureElementProperties::DescribeFields(fields);
  fields.Text("jump", ClassNameOf(jump_.get()));
}

std::string TSlideShowStructureElementJumpProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TStructureElementJumpProperties::EditorFrameClassNames(),
                                    "TSlideShowStructureElementJumpPropertyEditorFrame");
}

// ---- jump mark ----

std::string TStructureElementJumpMarkProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TPageTemplateStructureElementProperties::EditorFrameClassNames(),
                                    "TStructureElementJumpMarkPropertyEditorFrame");
}

bool TStructureElementJumpMarkProperties::WriteToStream(TCSFStream& stream) const {
  if (!TPageTemplateStructureElementProperties::WriteToStream(stream)) return false;
  try {
    stream.WriteString(name_);
    return true;
  } catch (...) {
    return false;
  }
}

bool TStructureElementJumpMarkProperties::ReadFromStream(TCSFStream& stream) {
  if (!TPageTemplateStructureElementProperties::ReadFromStream(stream)) return false;
  try {
    name_ = stream.ReadString();
    return true;
  } catch (...) {
    return false;
  }
}

void TStructureElementJumpMarkProperties::DescribeFields(TFieldWriter& fields) const {
  TPageTemplateStructureElementProperties::DescribeFields(fields);
  fields.Text("name", name_);
}

// ---- loop ----

TStructureElementLoopProperties::TStructureElementLoopProperties() = default;
TStructureElementLoopProperties::~TStructureElementLoopProperties() = default;

std::string TStructureElementLoopProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TPageTemplateStructureElementProperties::EditorFrameClassNames(),
                                    "TStructureElementLoopPropertiesEditorFrame");
}

bool TStructureElementLoopProperties::WriteToStream(TCSFStream& stream) const {
  if (!TPageTemplateStructureElementProperties::WriteToStream(stream)) return false;
  try {
    TWriteSubChunk chunk(stream);
    const bool written = WritePluginField(stream, event_.get());
    stream.WriteByte(mode_);
    chunk.End();
    return written;
  } catch (...) {
    return false;
  }
}

bool TStructureElementLoopProperties::ReadFromStream(TCSFStream& stream) {
  if (!TPageTemplateStructureElementProperties::ReadFromStream(stream)) return false;
  try {
    TReadSubChunk chunk(stream);
    const TFieldRead event = ReadPluginField(stream, event_);
    if (event == TFieldRead::UnknownClass) return true;
    mode_ = stream.ReadByte();
    return event == TFieldRead::Read;
  } catch (...) {
    return false;
  }
}

void TStructureElementLoopProperties::DescribeFields(TFieldWriter& fields) const {
  TPageTemplateStructureElementProperties::DescribeFields(fields);
  fields.Text("event", ClassNameOf(event_.get()));
  fields.Integer("mode", mode_);
}

std::string TSlideShowStructureElementLoopProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TStructureElementLoopProperties::EditorFrameClassNames(),
                                    "TSlideShowStructureElementLoopPropertyEditorFrame");
}

}  // namespace nimbra
