#include "render/PrintWizardPictureEngineProperties.h"

#include "framework/FieldMap.h"
#include "framework/FieldWriter.h"
#include "storage/CSFStream.h"
#include "templates/PageGeometry.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEngineProperties, TRenderEngineProperties)

TPrintWizardPictureEngineProperties::TPrintWizardPictureEngineProperties() = default;

TPrintWizardPictureEngineProperties::~TPrintWizardPictureEngineProperties() = default;

void TPrintWizardPictureEngineProperties::MapFields(TFieldMap& map) {
  TRenderEngineProperties::MapFields(map);
  map.SubChunk([&] {
    map.String("OutputDirectory", outputDirectory_);
    map.String("FileNamePrefix", fileNamePrefix_);
    map.Double("Width", width_);
    map.Double("Height", height_);
    map.Byte("SizeUnit", sizeUnit_);
    map.Double("Resolution", resolution_);
    map.Part("PictureFormat",
             {[this](TCSFStream& stream) {
                WriteFormat(stream);
                return true;
              },
              [this](TCSFStream& stream) { return PartRead(ReadFormat(stream)); },
              [this](std::string_view name, TFieldWriter& fields) {
                fields.Text(name, pictureFormat_ ? pictureFormat_->ClassName() : std::string());
              }});
  });
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

void TPrintWizardPictureEngineProperties::FreeFormat() {
  pictureFormat_.reset();
}

void TPrintWizardPictureEngineProperties::SetFormat(const TMetaClass& formatClass) {
  FreeFormat();
  pictureFormat_ = CreateAs<TPictureFormatWriter>(formatClass);
}

int32_t TPrintWizardPictureEngineProperties::ToPixels(double length) const {
  if (sizeUnit_ == kSizeUnitPixels) return RoundHalfToEven(length);
  return LengthToPixels(length, sizeUnit_, resolution_);
}

int32_t TPrintWizardPictureEngineProperties::PixelWidth() const {
  return ToPixels(width_);
}

int32_t TPrintWizardPictureEngineProperties::PixelHeight() const {
  return ToPixels(height_);
}

bool TPrintWizardPictureEngineProperties::IsComplete() const {
  return !outputDirectory_.empty() && !fileNamePrefix_.empty() && pictureFormat_ != nullptr;
}

}  // namespace nimbra
