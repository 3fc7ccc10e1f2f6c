#include "templates/StructureEvent.h"

#include "framework/FieldWriter.h"
#include "framework/TreeImplement.h"
#include "slideshow/SlideShowObject.h"
#include "slideshow/SlideShowTree.h"
#include "storage/Check.h"
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
    : propertiesClass_(&propertiesClass),
      properties_(CreateAs<TStructureEventProperties>(propertiesClass)) {
  NIMBRA_CHECK(properties_, propertiesClass.ClassName() + " is no structure event bag");
}

TStructureEvent::~TStructureEvent() = default;

void TStructureEvent::Assign(const TPlugin& source) {
  const auto* event = dynamic_cast<const TStructureEvent*>(&source);
  if (event == nullptr || event == this) return;
  CopyThroughStream([event](TCSFStream& stream) { event->WriteToStream(stream); },
                    [this](TCSFStream& stream) { ReadFromStream(stream); });
}

bool TStructureEvent::WriteToStream(TCSFStream& stream) const {
  try {
    TWriteSubChunk chunk(stream);
    const bool written = properties_->WriteToStream(stream);
    chunk.End();
    return written;
  } catch (...) {
    return false;
  }
}

bool TStructureEvent::ReadFromStream(TCSFStream& stream) {
  try {
    TReadSubChunk chunk(stream);
    return properties_->ReadFromStream(stream);
  } catch (...) {
    return false;
  }
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

bool TStructureEventOnChapterEndProperties::WriteToStream(TCSFStream& stream) const {
  if (!TStructureEventProperties::WriteToStream(stream)) return false;
  try {
    TWriteSubChunk chunk(stream);
    stream.WriteByte(mode_);
    stream.WriteString(jumpMarkName_);
    chunk.End();
    return true;
  } catch (...) {
    return false;
  }
}

bool TStructureEventOnChapterEndProperties::ReadFromStream(TCSFStream& stream) {
  if (!TStructureEventProperties::ReadFromStream(stream)) return false;
  try {
    TReadSubChunk chunk(stream);
    mode_ = stream.ReadByte();
    jumpMarkName_ = stream.ReadString();
    return true;
  } catch (...) {
    return false;
  }
}

void TStructureEventOnChapterEndProperties::DescribeFields(TFieldWriter& fields) const {
  TStructureEventProperties::DescribeFields(fields);
  fields.Integer("mode", mode_);
  fields.Text("jumpMarkName", jumpMarkName_);
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
