#include "slideshow/SlideShowInfoProperties.h"

#include "framework/FieldWriter.h"
#include "storage/StoredBytes.h"
#include "storage/CSFStream.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TSlideShowInfoProperties, TProperties)

std::string TSlideShowInfoProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TProperties::EditorFrameClassNames(),
                                    "TSlideShowPropertiesSlideShowInfoFrame");
}

bool TSlideShowInfoProperties::WriteToStream(TCSFStream& stream) const {
  if (!TProperties::WriteToStream(stream)) return false;
  try {
    stream.WriteString(author_);
    stream.WriteString(title_);
    stream.WriteString(description_);
    stream.WriteString(copyright_);
    TWriteSubChunk extra(stream);
    stream.WriteBuffer(extraData_.data(), static_cast<int64_t>(extraData_.size()));
    extra.End();
    return true;
  } catch (...) {
    return false;
  }
}

bool TSlideShowInfoProperties::ReadFromStream(TCSFStream& stream) {
  if (!TProperties::ReadFromStream(stream)) return false;
  try {
    author_ = stream.ReadString();
    title_ = stream.ReadString();
    description_ = stream.ReadString();
    copyright_ = stream.ReadString();
    TReadSubChunk extra(stream);
    if (extra.Length() > 0) extraData_ = ReadRemainingBytes(stream);
    return true;
  } catch (...) {
    return false;
  }
}

void TSlideShowInfoProperties::DescribeFields(TFieldWriter& fields) const {
  TProperties::DescribeFields(fields);
  fields.Text("author", author_);
  fields.Text("title", title_);
  fields.Text("description", description_);
  fields.Text("copyright", copyright_);
  fields.Bytes("extraData", extraData_);
}

void TSlideShowInfoProperties::Reset() {
  TProperties::Reset();
  extraData_.clear();
}

}  // namespace nimbra
