#include "templates/StructureEvent.h"

#include "framework/FieldMap.h"
#include "framework/TreeImplement.h"
#include "slideshow/SlideShowObject.h"
#include "slideshow/SlideShowTree.h"
#include "templates/RequiredBag.h"
#include "templates/StreamCopy.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TStructureEventProperties, TProperties)
NIMBRA_DEFINE_PLUGIN(TStructureEvent, TInterfacedPlugin)
NIMBRA_DEFINE_PLUGIN(TStructureEventOnListEnd, TStructureEvent)
NIMBRA_DEFINE_PLUGIN(TStructureEventOnChapter, TStructureEvent)
NIMBRA_DEFINE_PLUGIN(TStructureEventOnChapterEndProperties, TStructureEventProperties)
NIMBRA_DEFINE_PLUGIN(TStructureEventOnChapterEnd, TStructureEvent)

bool IsChapterItem(const TRef<ITreeItem>& item) {
  return dynamic_cast<IChapter*>(SlideShowObjectOf(item)) != nullptr;
}

// ---- TStructureEvent ----

TStructureEvent::TStructureEvent() : TStructureEvent(TStructureEventProperties::StaticClass()) {}

TStructureEvent::TStructureEvent(const TMetaClass& propertiesClass)
    : properties_(propertiesClass, "structure event") {}

TStructureEvent::~TStructureEvent() = default;

void TStructureEvent::Assign(const TPlugin& source) {
  const auto* event = dynamic_cast<const TStructureEvent*>(&source);
  if (event == nullptr || event == this) return;
  CopyThroughStream([event](TCSFStream& stream) { event->WriteToStream(stream); },
                    [this](TCSFStream& stream) { ReadFromStream(stream); });
}

bool TStructureEvent::WriteToStream(TCSFStream& stream) const {
  return properties_.Write(stream);
}

bool TStructureEvent::ReadFromStream(TCSFStream& stream) {
  return properties_.Read(stream);
}

// ---- the conditions ----

bool TStructureEventOnListEnd::IsTriggered(const TRef<ITreeItem>& current,
                                           const TRef<ITreeItem>& /*reference*/,
                                           const TJumpMarks& /*marks*/) const {
  return !current;
}

bool TStructureEventOnChapter::IsTriggered(const TRef<ITreeItem>& current,
                                           const TRef<ITreeItem>& /*reference*/,
                                           const TJumpMarks& /*marks*/) const {
  return IsChapterItem(current);
}

// ---- TStructureEventOnChapterEndProperties ----

std::string TStructureEventOnChapterEndProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TStructureEventProperties::EditorFrameClassNames(),
                                    "TSlideShowStructureEventOnChapterEndPropertyEditorFrame");
}

void TStructureEventOnChapterEndProperties::MapFields(TFieldMap& map) {
  TStructureEventProperties::MapFields(map);
  map.SubChunk([&] {
    map.Byte("mode", mode_);
    map.String("jumpMarkName", jumpMarkName_);
  });
}

// ---- TStructureEventOnChapterEnd ----

TStructureEventOnChapterEnd::TStructureEventOnChapterEnd()
    : TStructureEvent(TStructureEventOnChapterEndProperties::StaticClass()) {}

TStructureEventOnChapterEndProperties& TStructureEventOnChapterEnd::ChapterEndProperties() const {
  return RequiredBag(PropertiesAs<TStructureEventOnChapterEndProperties>());
}

bool TStructureEventOnChapterEnd::IsTriggered(const TRef<ITreeItem>& current,
                                              const TRef<ITreeItem>& reference,
                                              const TJumpMarks& marks) const {
  if (!current) return true;
  const TStructureEventOnChapterEndProperties& bag = ChapterEndProperties();
  TRef<ITreeItem> start;
  if (bag.Mode() == kChapterEndFromObject) {
    start = reference ? reference : current;
  } else if (bag.Mode() == kChapterEndFromJumpMark) {
    if (const TRef<IJumpMarkInfo> mark = FindJumpMark(marks, bag.JumpMarkName())) {
      start = mark->GetObject();
    }
  }
  TRef<ITreeItem> chapter = start;
  while (chapter && !IsChapterItem(chapter)) chapter = TTreeImplement::GetParent(chapter);
  if (!chapter) return false;
  return !TTreeImplement::IsChildOf(current, chapter, true);
}

}  // namespace nimbra
