#include "render/PrintWizardPictureEngineProperties.h"

#include "framework/FieldWriter.h"
#include "storage/CSFStream.h"
#include "templates/PageGeometry.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEngineProperties, TRenderEngineProperties)

TPrintWizardPictureEngineProperties::TPrintWizardPictureEngineProperties() = default;

TPrintWizardPictureEngineProperties::~TPrintWizardPictureEngineProperties() = default;

bool TPrintWizardPictureEngineProperties::WriteToStream(TCSFStream& stream) const {
  if (!TRenderEngineProperties::WriteToStream(stream)) return false;
  try {
    TWriteSubChunk chunk(stream);
    stream.WriteString(outputDirectory_);
    stream.WriteString(fileNamePrefix_);
    stream.WriteDouble(width_);
    stream.WriteDouble(height_);
    stream.WriteByte(sizeUnit_);
    stream.WriteDouble(resolution_);
    WriteFormat(stream);
    chunk.End();
    return true;
  } catch (...) {
    return false;
  }
}

bool TPrintWizardPictureEngineProperties::ReadFromStream(TCSFStream& stream) {
  if (!TRenderEngineProperties::ReadFromStream(stream)) return false;
  try {
    TReadSubChunk chunk(stream);
    outputDirectory_ = stream.ReadString();
    fileNamePrefix_ = stream.ReadString();
    width_ = stream.ReadDouble();
    height_ = stream.ReadDouble();
    sizeUnit_ = stream.ReadByte();
    resolution_ = stream.ReadDouble();
    return ReadFormat(stream);
  } catch (...) {
    return false;
  }
}

void TPrintWizardPictureEngineProperties::WriteFormat(TCSFStream& stream) const {
  TWriteSubChunk format(stream);
  if (pictureFormat_) {
    stream.WriteClassName(pictureFormat_.get());
    TWriteSubChunk own(stream);
    pictureFormat_->WriteSettings(stream);
    own.End();
  }
  format.End();
}

bool TPrintWizardPictureEngineProperties::ReadFormat(TCSFStream& stream) {
  FreeFormat();
  TReadSubChunk format(stream);
  if (format.Length() == 0) return true;
  const TMetaClass* formatClass = stream.ReadClass();
  if (formatClass == nullptr) return true;
  pictureFormat_ = CreateAs<TPictureFormatWriter>(*formatClass);
  if (!pictureFormat_) return true;
  // A format whose settings are damaged stays, with what could be read over its defaults.
  TReadSubChunk own(stream);
  return pictureFormat_->ReadSettings(stream);
}

std::string TPrintWizardPictureEngineProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TRenderEngineProperties::EditorFrameClassNames(),
                                    "TPictureRenderEnginePropertyEditorFrame");
}

void TPrintWizardPictureEngineProperties::DescribeFields(TFieldWriter& fields) const {
  TRenderEngineProperties::DescribeFields(fields);
  fields.Text("OutputDirectory", outputDirectory_);
  fields.Text("FileNamePrefix", fileNamePrefix_);
  fields.Number("Width", width_);
  fields.Number("Height", height_);
  fields.Integer("SizeUnit", sizeUnit_);
  fields.Number("Resolution", resolution_);
  fields.Text("PictureFormat", pictureFormat_ ? pictureFormat_->ClassName() : std::string());
}

void TPrintWizardPictureEngineProperties::FreeFormat() { pictureFormat_.reset(); }

void TPrintWizardPictureEngineProperties::SetFormat(const TMetaClass& formatClass) {
  FreeFormat();
  pictureFormat_ = CreateAs<TPictureFormatWriter>(formatClass);
}

int32_t TPrintWizardPictureEngineProperties::ToPixels(double length) const {
  if (sizeUnit_ == kSizeUnitPixels) return RoundHalfToEven(length);
  return LengthToPixels(length, sizeUnit_, resolution_);
}

int32_t TPrintWizardPictureEngineProperties::PixelWidth() const { return ToPixels(width_); }

int32_t TPrintWizardPictureEngineProperties::PixelHeight() const { return ToPixels(height_); }

bool TPrintWizardPictureEngineProperties::IsComplete() const {
  return !outputDirectory_.empty() && !fileNamePrefix_.empty() && pictureFormat_ != nullptr;
}

}  // namespace nimbra
