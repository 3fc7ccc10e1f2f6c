#include "framework/Properties.h"

#include "framework/FieldMap.h"
#include "framework/KeyValueStore.h"
#include "storage/ChunkedStreams.h"
#include "storage/FalseOnFailure.h"
#include "storage/GlobalHolder.h"
#include "storage/MemoryStream.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TProperties, TInterfacedPlugin)

namespace {

TGlobalHolder<IPropertyEditor>& EditorHolder() {
  static TGlobalHolder<IPropertyEditor> holder;
  return holder;
}

}  // namespace

std::shared_ptr<IPropertyEditor> PropertyEditor() {
  return EditorHolder().Get();
}

void SetPropertyEditor(std::shared_ptr<IPropertyEditor> editor) {
  EditorHolder().Set(std::move(editor));
}

std::unique_ptr<TProperties> CreateProperties(const TMetaClass& bagClass) {
  return CreateAs<TProperties>(bagClass);
}

std::string AppendEditorFrameClassName(const std::string& inherited, std::string_view name) {
  if (inherited.empty()) return std::string(name);
  return inherited + "\r\n" + std::string(name);
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines[i];
  }
  return text;
}

// ---- sub-chunk scopes ----

TWriteSubChunk::TWriteSubChunk(TCSFStream& stream) : stream_(stream) {
  stream_.BeginSubChunk();
}

TWriteSubChunk::~TWriteSubChunk() {
  if (!open_) return;
  try {
    stream_.EndSubChunk();
  } catch (...) {
    // Already on the way out with an exception; the write has failed either way.
  }
}

void TWriteSubChunk::End() {
  open_ = false;
  stream_.EndSubChunk();
}

TReadSubChunk::TReadSubChunk(TCSFStream& stream)
    : stream_(stream), length_(stream.BeginReadSubChunk()) {}

TReadSubChunk::~TReadSubChunk() {
  try {
    stream_.EndReadSubChunk();
  } catch (...) {
    // Leaving a frame only moves the position; a stream that cannot even do that fails the next
    // read, which reports it.
  }
}

// ---- TProperties ----

void TProperties::Assign(const TPlugin& source) {
  // 1. only bags copy into bags
  const auto* bag = dynamic_cast<const TProperties*>(&source);
  if (bag == nullptr) return;
  // 2. write the source, 3. rewind, 4. read it back
  TMemoryStream copy;
  bag->SaveToStream(copy, kCopyFileType, kCopyFileVersion);
  copy.SetPosition(0);
  LoadFromStream(copy, kCopyFileType, kCopyFileVersion);
}

bool TProperties::WriteToStream(TCSFStream& stream) const {
  return WriteFields(stream, *this);
}

bool TProperties::ReadFromStream(TCSFStream& stream) {
  return ReadFields(stream, *this);
}

bool TProperties::SaveToStream(TStream& stream, int32_t fileType, int32_t fileVersion) const {
  return WriteChunked(stream, CSFMode::Headerless, fileType, fileVersion,
                      [this](TCSFStream& csf) { return WriteToStream(csf); });
}

bool TProperties::LoadFromStream(TStream& stream, int32_t fileType, int32_t fileVersion) {
  return ReadHeaderless(stream, fileType, fileVersion,
                        [this](TCSFStream& csf) { return ReadFromStream(csf); });
}

bool TProperties::SaveToRegistry(TKeyValueStore& store, const std::string& valueName,
                                 int32_t fileType, int32_t fileVersion) const {
  return FalseOnFailure([&] {
    TMemoryStream value;
    if (!SaveToStream(value, fileType, fileVersion)) return false;
    store.WriteBinaryData(valueName, value.ToString());
    return true;
  });
}

bool TProperties::LoadFromRegistry(TKeyValueStore& store, const std::string& valueName,
                                   int32_t fileType, int32_t fileVersion) {
  return FalseOnFailure([&] {
    if (store.GetDataSize(valueName) < 0) return false;
    TMemoryStream value(store.ReadBinaryData(valueName));
    value.SetPosition(0);
    return LoadFromStream(value, fileType, fileVersion);
  });
}

std::unique_ptr<TProperties> TProperties::Clone() const {
  std::unique_ptr<TProperties> clone = CreateProperties(ClassType());
  if (clone) clone->Assign(*this);
  return clone;
}

void TProperties::Reset() {
  // A fresh instance holds the constructor's defaults.
  const std::unique_ptr<TProperties> defaults = CreateProperties(ClassType());
  if (defaults) Assign(*defaults);
}

TPropertyEditorFrameClassList TProperties::EditorFrames() const {
  // 2. classes the bag names directly win
  TPropertyEditorFrameClassList frames = EditorFrameClasses();
  if (!frames.empty()) return frames;
  // 3. otherwise the names, looked up where stored class names are; unknown names are skipped
  for (const std::string& name : SplitLines(EditorFrameClassNames())) {
    const auto* frame = dynamic_cast<const TPropertyEditorFrameClass*>(GetClass(name));
    if (frame != nullptr) frames.push_back(frame);
  }
  return frames;
}

const TPropertyEditorFrameClass* TProperties::FirstEditorFrame() const {
  const TPropertyEditorFrameClassList frames = EditorFrames();
  return frames.empty() ? nullptr : frames.front();
}

std::string TProperties::EditorCaption() const {
  const TPropertyEditorFrameClass* frame = FirstEditorFrame();
  return frame != nullptr ? frame->FrameCaption() : std::string();
}

bool TProperties::Edit(const std::string& caption, int option, int frameIndex) {
  const std::shared_ptr<IPropertyEditor> editor = PropertyEditor();
  if (!editor) return false;
  return editor->EditProperties(*this, caption, option, frameIndex);
}

void TProperties::DescribeFields(TFieldWriter& fields) const {
  DescribeFieldsOf(fields, *this);
}

void TProperties::MapFields(TFieldMap&) {}

}  // namespace nimbra
