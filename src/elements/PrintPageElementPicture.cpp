#include "elements/PrintPageElementPicture.h"

#include "elements/DrawingRandom.h"
#include "framework/FieldMap.h"
#include "slideshow/SlideShowObject.h"
#include "slideshow/SlideShowTree.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintPageElementPictureProperties, TVisiblePageElementProperties)
NIMBRA_DEFINE_PLUGIN(TPrintPageElementPicture, TPrintablePageElement)

namespace {

constexpr const char* kSlideShowPictureText = "Bild aus Vistra";

}  // namespace

// ---- TPrintPageElementPictureProperties ----

TPrintPageElementPictureProperties::TPrintPageElementPictureProperties()
    : effects_(std::make_unique<TPrintWizardPictureEffectList>()) {}

TPrintPageElementPictureProperties::~TPrintPageElementPictureProperties() = default;

void TPrintPageElementPictureProperties::MapFields(TFieldMap& map) {
  TVisiblePageElementProperties::MapFields(map);
  if (map.Writes() && useSlideShowPicture_) fileName_.clear();
  map.SubChunk([&] {
    map.Boolean("keepAspectRatio", keepAspectRatio_);
    map.Boolean("secondFlag", secondFlag_);
    map.Boolean("useSlideShowPicture", useSlideShowPicture_);
    map.Boolean("takesNextObject", takesNextObject_);
    map.Double("rotationAngle", rotationAngle_);
    map.Byte("transparency", transparency_);
    map.Boolean("randomRotation", randomRotation_);
    map.Boolean("autoRotate", autoRotate_);
    map.Byte("fitMode", fitMode_);
    map.String("fileName", fileName_);
    map.SubChunk([&] { effects_->MapFields(map); });
    // Left out at their defaults, so that such a bag is stored exactly as before they existed;
    // older readers skip them with the rest of the sub-chunk.
    const bool drawnAsBefore = boxFill_ == kPictureFitsBox && !blurredBackground_;
    if (map.Writes() ? drawnAsBefore : !map.More()) {
      // An older bag read over this one leaves it drawing as that one did.
      if (!map.Writes()) {
        boxFill_ = kPictureFitsBox;
        blurredBackground_ = false;
      }
      return;
    }
    map.Byte("boxFill", boxFill_);
    map.Boolean("blurredBackground", blurredBackground_);
  });
}

std::string TPrintPageElementPictureProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TVisiblePageElementProperties::EditorFrameClassNames(),
                                    "TPrintPageElementPicturePropertyEditorFrame");
}

// ---- TPrintPageElementPicture ----

TPrintPageElementPicture::TPrintPageElementPicture()
    : TPrintablePageElement(TPrintPageElementPictureProperties::StaticClass(),
                            kDefaultPictureWidth, kDefaultPictureHeight) {}

TPrintPageElementPicture::~TPrintPageElementPicture() = default;

TPrintPageElementPictureProperties& TPrintPageElementPicture::PictureProperties() const {
  return static_cast<TPrintPageElementPictureProperties&>(Properties());
}

std::string TPrintPageElementPicture::Category() const { return kElementCategoryGeneral; }

std::string TPrintPageElementPicture::DisplayName() const {
  const TPrintPageElementPictureProperties& bag = PictureProperties();
  if (!bag.UseSlideShowPicture()) return Caption() + " (" + bag.FileName() + ")";
  if (boundObject_ == nullptr) return Caption() + " (" + kSlideShowPictureText + ")";
  return Caption() + " (" + kSlideShowPictureText + " - " +
         std::to_string(boundObject_->Index() + 1) + ")";
}

// Print, LoadPicture, PreparePicture and ApplyEffects draw; they live in
// PrintPageElementPictureDrawing.cpp.

bool TPrintPageElementPicture::HasPicture() const { return !GetFileName().empty(); }

std::string TPrintPageElementPicture::GetFileName() const {
  return ResolveFileName(PictureProperties().FileName());
}

void TPrintPageElementPicture::SetFileName(const std::string& name) {
  PictureProperties().SetFileName(name);
}

void TPrintPageElementPicture::SetFileNameAt(int32_t, const std::string& name) {
  SetFileName(name);
}

std::string TPrintPageElementPicture::GetStoredFileName() const {
  return PictureProperties().FileName();
}

std::vector<std::string> TPrintPageElementPicture::GetFileNames() const {
  std::vector<std::string> names{GetFileName()};
  const std::vector<std::string> effects = PictureProperties().Effects().GetFileNames();
  names.insert(names.end(), effects.begin(), effects.end());
  return names;
}

std::vector<std::string> TPrintPageElementPicture::GetStoredFileNames() const {
  std::vector<std::string> names{GetStoredFileName()};
  const std::vector<std::string> effects = PictureProperties().Effects().GetStoredFileNames();
  names.insert(names.end(), effects.begin(), effects.end());
  return names;
}

void TPrintPageElementPicture::ReplaceFileName(const std::string& oldName,
                                               const std::string& newName) {
  TPrintPageElementPictureProperties& bag = PictureProperties();
  if (oldName == bag.FileName() || oldName == ResolveFileName(bag.FileName())) {
    bag.SetFileName(newName);
  }
  bag.Effects().ReplaceFileName(oldName, newName);
}

void TPrintPageElementPicture::BeginRender() { randomAngle_ = 5 - 10 * DrawingRandomFraction(); }

void TPrintPageElementPicture::BindObject(const TRef<ITreeItem>& item) {
  TPrintPageElementPictureProperties& bag = PictureProperties();
  // 1. forget the previous object and its picture
  boundObject_ = nullptr;
  if (bag.UseSlideShowPicture()) bag.SetFileName({});
  // 2. remember the item
  boundItem_ = item;
  // 3. take the picture of the object the item carries
  TSlideShowObject* object = SlideShowObjectOf(item);
  if (object == nullptr || !bag.UseSlideShowPicture()) return;
  boundObject_ = object;
  if (const auto* files = dynamic_cast<const IFileReferences*>(object)) {
    std::string name = files->GetFileName();
    if (name.empty()) name = files->GetStoredFileName();
    bag.SetFileName(std::move(name));
  }
}

bool TPrintPageElementPicture::TakesObject() const {
  const TPrintPageElementPictureProperties& bag = PictureProperties();
  return bag.UseSlideShowPicture() && bag.TakesNextObject();
}

}  // namespace nimbra
