#include "elements/PrintWizardPictureEffectCollage.h"

#include "elements/ListItemFields.h"
#include "elements/NamedEntries.h"
#include "framework/FieldMap.h"
#include "framework/FileNameResolution.h"
#include "framework/Properties.h"
#include "storage/CSFStream.h"
#include "storage/Check.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectCollageProperties,
                     TPrintWizardPictureEffectProperties)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectUserCollageProperties,
                     TPrintWizardPictureEffectCollageProperties)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectCollage, TPrintWizardPictureEffect)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectUserCollage, TPrintWizardPictureEffectCollage)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectUserCollage1Pic,
                     TPrintWizardPictureEffectUserCollage)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectUserCollage4Pic,
                     TPrintWizardPictureEffectUserCollage)

// ---- TPrintWizardPictureEffectCollageProperties ----

TStoredPart TPrintWizardPictureEffectCollageProperties::PicturesPart() {
  return {[this](TCSFStream& stream) { return WriteNamedEntries(stream, pictures_); },
          [this](TCSFStream& stream) {
            const int32_t count = stream.ReadInteger();
            bool read = true;
            for (int32_t i = 0; i < count && i < pictures_.Count(); ++i) {
              TReadSubChunk entry(stream);
              stream.ReadClassName();  // every stored picture is a plain collage picture
              read = pictures_.Items(i).ReadFromStream(stream) && read;
            }
            return PartRead(read);
          },
          [this](std::string_view name, TFieldWriter& fields) {
            fields.Integer(name, pictures_.Count());
            for (int32_t i = 0; i < pictures_.Count(); ++i) {
              TListItemFields item(fields, name, i);
              pictures_.Items(i).DescribeFields(item);
            }
          }};
}

void TPrintWizardPictureEffectCollageProperties::MapFields(TFieldMap& map) {
  TPrintWizardPictureEffectProperties::MapFields(map);
  map.SubChunk([&] { map.Boolean("followPicture", followPicture_); });
  // Pictures beyond the list's length are left in the sub-chunk.
  map.SubChunk([&] { map.Part("pictures", PicturesPart()); });
}

std::string TPrintWizardPictureEffectUserCollageProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(
      TPrintWizardPictureEffectCollageProperties::EditorFrameClassNames(),
      "TPrintWizardPictureEffectUserCollagePropertiesEditorFrame");
}

// ---- TPrintWizardPictureEffectCollage ----

namespace {

// The non-empty lines of every picture's FileNames, pictures in list order.
std::vector<std::string> StoredNames(const TCollagePicsList& pictures) {
  std::vector<std::string> names;
  for (int32_t i = 0; i < pictures.Count(); ++i) {
    for (std::string& line : SplitLines(pictures.Items(i).FileNames())) {
      if (!line.empty()) names.push_back(std::move(line));
    }
  }
  return names;
}

}  // namespace

TPrintWizardPictureEffectCollage::TPrintWizardPictureEffectCollage(
    const TMetaClass& propertiesClass)
    : TPrintWizardPictureEffect(&propertiesClass, kEffectStageAfterGeometry) {
  NIMBRA_CHECK(PropertiesAs<TPrintWizardPictureEffectCollageProperties>() != nullptr,
               propertiesClass.ClassName() + " is no collage bag");
}

TPrintWizardPictureEffectCollageProperties& TPrintWizardPictureEffectCollage::CollageProperties()
    const {
  return static_cast<TPrintWizardPictureEffectCollageProperties&>(*Properties());
}

void TPrintWizardPictureEffectCollage::Apply(TBitmap32&, const TPixelRect&, double,
                                             TAffineTransformation*, double, double) {}

bool TPrintWizardPictureEffectCollage::PictureTransformation(TCollagePic&, const TBitmap32&,
                                                             double, double, double,
                                                             const TAffineTransformation*,
                                                             const TPixelRect&,
                                                             TAffineTransformation&) {
  return false;
}

void TPrintWizardPictureEffectCollage::DrawPicture(TBitmap32&, TCollagePic&, const TPixelRect&,
                                                   double, const TAffineTransformation*, double,
                                                   double) {}

std::vector<std::string> TPrintWizardPictureEffectCollage::GetStoredFileNames() const {
  return StoredNames(CollageProperties().Pictures());
}

std::vector<std::string> TPrintWizardPictureEffectCollage::GetFileNames() const {
  std::vector<std::string> names = GetStoredFileNames();
  for (std::string& name : names) name = ResolveTemplateFileName(name, {});
  return names;
}

std::string TPrintWizardPictureEffectCollage::GetStoredFileName() const {
  const std::vector<std::string> names = GetStoredFileNames();
  return names.empty() ? std::string() : names.front();
}

std::string TPrintWizardPictureEffectCollage::GetFileName() const {
  const std::string stored = GetStoredFileName();
  return stored.empty() ? std::string() : ResolveTemplateFileName(stored, {});
}

int32_t TPrintWizardPictureEffectCollage::FileCount() const {
  return static_cast<int32_t>(GetStoredFileNames().size());
}

void TPrintWizardPictureEffectCollage::ReplaceFileName(const std::string& oldName,
                                                       const std::string& newName) {
  if (oldName.empty()) return;
  TCollagePicsList& pictures = CollageProperties().Pictures();
  for (int32_t i = 0; i < pictures.Count(); ++i) {
    TCollagePic& picture = pictures.Items(i);
    if (picture.FromResource()) continue;
    std::vector<std::string> lines = SplitLines(picture.FileNames());
    bool changed = false;
    for (std::string& line : lines) {
      if (line == oldName || (!line.empty() && ResolveTemplateFileName(line, {}) == oldName)) {
        line = newName;
        changed = true;
      }
    }
    if (changed) picture.SetFileNames(JoinLines(lines));
  }
}

// ---- TPrintWizardPictureEffectUserCollage ----

TPrintWizardPictureEffectUserCollage::TPrintWizardPictureEffectUserCollage(int32_t pictureCount)
    : TPrintWizardPictureEffectCollage(TPrintWizardPictureEffectUserCollageProperties::StaticClass()),
      pictureCount_(pictureCount) {
  for (int32_t i = 0; i < pictureCount_; ++i) {
    CollageProperties().Pictures().Add(std::make_unique<TCollagePic>());
  }
}

}  // namespace nimbra
