#include "templates/StructureElementBags.h"

#include "framework/FieldMap.h"
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

template <typename T>
std::string ClassNameOf(const T* object) {
  return object != nullptr ? object->ClassName() : std::string();
}

// The class stored under the name, looked up as documents look up their classes; none unless it
// is a T.
template <typename T>
const TMetaClass* FindPluginClass(const std::string& name) {
  const TMetaClass* found = MainPlugins() != nullptr ? MainPlugins()->FindClass(name) : nullptr;
  if (found == nullptr) found = GetClass(name);
  return found != nullptr && found->InheritsFrom(T::StaticClass()) ? found : nullptr;
}

// An event or jump field: the class name, empty for none, then the object's own stored form in a
// sub-chunk of its own. Reading replaces the object by one of the stored class. An unknown class
// leaves none: its data has no reader, so whatever follows in the enclosing sub-chunk stays unread.
template <typename T>
TStoredPart PluginPart(std::unique_ptr<T>& object) {
  return {[&object](TCSFStream& stream) {
            stream.WriteString(ClassNameOf(object.get()));
            if (!object) return true;
            TWriteSubChunk chunk(stream);
            const bool written = object->WriteToStream(stream);
            chunk.End();
            return written;
          },
          [&object](TCSFStream& stream) {
            Free(object);
            const std::string name = stream.ReadString();
            if (name.empty()) return TPartRead::Read;
            const TMetaClass* pluginClass = FindPluginClass<T>(name);
            if (pluginClass != nullptr) object = CreateAs<T>(*pluginClass);
            if (!object) return TPartRead::RestUnread;
            TReadSubChunk chunk(stream);
            return PartRead(object->ReadFromStream(stream));
          },
          [&object](std::string_view name, TFieldWriter& fields) {
            fields.Text(name, ClassNameOf(object.get()));
          }};
}

}  // namespace

// ---- page ----

std::string TStructureElementPageProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(
      TPageTemplateStructureElementProperties::EditorFrameClassNames(),
      "TStructureElementPagePropertiesEditorFrame");
}

void TStructureElementPageProperties::MapFields(TFieldMap& map) {
  TPageTemplateStructureElementProperties::MapFields(map);
  map.Cardinal("templateId", templateID_);
}

// ---- event ----

TPageTemplateStructureElementEventProperties::TPageTemplateStructureElementEventProperties() =
    default;
TPageTemplateStructureElementEventProperties::~TPageTemplateStructureElementEventProperties() =
    default;

std::string TPageTemplateStructureElementEventProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(
      TPageTemplateStructureElementProperties::EditorFrameClassNames(),
      "TStructureElementEventPropertiesEditorFrame");
}

void TPageTemplateStructureElementEventProperties::MapFields(TFieldMap& map) {
  TPageTemplateStructureElementProperties::MapFields(map);
  map.Part("event", PluginPart(event_));
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
  return AppendEditorFrameClassName(
      TPageTemplateStructureElementProperties::EditorFrameClassNames(),
      "TStructureElementJumpPropertiesEditorFrame");
}

void TStructureElementJumpProperties::MapFields(TFieldMap& map) {
  TPageTemplateStructureElementProperties::MapFields(map);
  map.Part("jump", PluginPart(jump_));
}

std::string TSlideShowStructureElementJumpProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TStructureElementJumpProperties::EditorFrameClassNames(),
                                    "TSlideShowStructureElementJumpPropertyEditorFrame");
}

// ---- jump mark ----

std::string TStructureElementJumpMarkProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(
      TPageTemplateStructureElementProperties::EditorFrameClassNames(),
      "TStructureElementJumpMarkPropertyEditorFrame");
}

void TStructureElementJumpMarkProperties::MapFields(TFieldMap& map) {
  TPageTemplateStructureElementProperties::MapFields(map);
  map.String("name", name_);
}

// ---- loop ----

TStructureElementLoopProperties::TStructureElementLoopProperties() = default;
TStructureElementLoopProperties::~TStructureElementLoopProperties() = default;

std::string TStructureElementLoopProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(
      TPageTemplateStructureElementProperties::EditorFrameClassNames(),
      "TStructureElementLoopPropertiesEditorFrame");
}

void TStructureElementLoopProperties::MapFields(TFieldMap& map) {
  TPageTemplateStructureElementProperties::MapFields(map);
  map.SubChunk([&] {
    map.Part("event", PluginPart(event_));
    map.Byte("mode", mode_);
  });
}

std::string TSlideShowStructureElementLoopProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TStructureElementLoopProperties::EditorFrameClassNames(),
                                    "TSlideShowStructureElementLoopPropertyEditorFrame");
}

}  // namespace nimbra
