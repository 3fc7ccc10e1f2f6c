#include "templates/PageTemplate.h"

#include <algorithm>

#include "framework/FieldMap.h"
#include "framework/FileNameResolution.h"
#include "storage/Check.h"
#include "storage/FalseOnFailure.h"
#include "templates/PageBackground.h"
#include "templates/PageTemplateList.h"
#include "templates/PageTemplateProject.h"
#include "templates/StreamCopy.h"
#include "templates/TemplateVariables.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPageTemplateProperties, TProperties)
NIMBRA_DEFINE_PLUGIN(TPageTemplate, TInterfacedPlugin)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPageTemplateProperties, TPageTemplateProperties)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPageTemplate, TPageTemplate)

// ---- TPageTemplateProperties ----

uint8_t TPageTemplateProperties::EffectiveSide() const {
  return side_ == kPageSideEven || side_ == kPageSideOdd ? side_ : kPageSideAny;
}

void TPageTemplateProperties::MapFields(TFieldMap& map) {
  TProperties::MapFields(map);
  map.SubChunk([&] {
    map.Integer("height", height_);
    map.Integer("width", width_);
    map.String("name", name_);
    map.Cardinal("id", id_);
    map.Byte("side", side_);
  });
}

// ---- TPageTemplate ----

TPageTemplate::TPageTemplate() : TPageTemplate(TPageTemplateProperties::StaticClass()) {}

TPageTemplate::TPageTemplate(const TMetaClass& propertiesClass)
    : propertiesClass_(&propertiesClass),
      properties_(CreateAs<TPageTemplateProperties>(propertiesClass)),
      elements_(std::make_unique<TPageElementList>()) {
  NIMBRA_CHECK(properties_, propertiesClass.ClassName() + " is no page template bag");
  elements_->SetOwner(this);
  WireElementList();
}

TPageTemplate::~TPageTemplate() {
  // The elements go with the list; nobody is to hear of that any more.
  elements_->OnAttached = nullptr;
  elements_->OnChange = nullptr;
  elements_->OnAdded = nullptr;
  elements_->OnDeleted = nullptr;
  elements_.reset();
}

void TPageTemplate::WireElementList() {
  elements_->OnAttached = [this](TObject*, int32_t index) { ElementAttached(index); };
  elements_->OnChange = [this](TObject*) { ElementsChanged(); };
  elements_->OnAdded = [this](TObject*, int32_t) { ElementAdded(); };
  elements_->OnDeleted = [this](TObject*, int32_t) { ElementDeleted(); };
}

void TPageTemplate::Assign(const TPlugin& source) {
  const auto* other = dynamic_cast<const TPageTemplate*>(&source);
  if (other == nullptr || other == this) return;
  CopyThroughStream([other](TCSFStream& stream) { other->WriteToStream(stream); },
                    [this](TCSFStream& stream) {
                      // Reading appends elements; a copy holds exactly the source's.
                      elements_->Clear();
                      ReadFromStream(stream);
                    });
}

void TPageTemplate::ElementChanged(TPageElement* element, int32_t a, uint8_t b) {
  if (OnElementChange) OnElementChange(this, a, element, b);
}

void TPageTemplate::ElementAttached(int32_t index) {
  TPageElement* element = elements_->Items(index);
  if (element == nullptr) return;
  element->OnChange = [this](TObject* sender, int32_t a, uint8_t b) {
    ElementChanged(dynamic_cast<TPageElement*>(sender), a, b);
  };
}

void TPageTemplate::ElementsChanged() {
  if (OnElementsChanged) OnElementsChanged(this);
}

void TPageTemplate::ElementAdded() {
  if (OnElementAdded) OnElementAdded(this);
}

void TPageTemplate::ElementDeleted() {
  if (OnElementDeleted) OnElementDeleted(this);
}

bool TPageTemplate::ReadFromStream(TCSFStream& stream) {
  return FalseOnFailure([&] {
    bool read = false;
    {
      // 1. the bag
      TReadSubChunk bag(stream);
      read = properties_->ReadFromStream(stream);
    }
    {
      // 2. the element list as a nested stream
      TReadSubChunk list(stream);
      read = elements_->ReadNested(stream) && read;
    }
    return read;
  });
}

bool TPageTemplate::WriteToStream(TCSFStream& stream) const {
  return FalseOnFailure([&] {
    bool written = false;
    {
      // 1. the properties, in a sub-chunk of their own
      TWriteSubChunk bag(stream);
      written = properties_->WriteToStream(stream);
      bag.End();
    }
    {
      // 2. the elements, nested in the next sub-chunk
      TWriteSubChunk list(stream);
      written = elements_->WriteNested(stream) && written;
      list.End();
    }
    return written;
  });
}

std::unique_ptr<TPageTemplate> TPageTemplate::Clone() const {
  std::unique_ptr<TPageTemplate> clone = CreateAs<TPageTemplate>(ClassType());
  if (clone) clone->Assign(*this);
  return clone;
}

TPageTemplateList* TPageTemplate::GetTemplateList() const {
  return dynamic_cast<TPageTemplateList*>(owner_);
}

void TPageTemplate::SetTemplateList(TPageTemplateList* list) {
  owner_ = list;
}

void TPageTemplate::SetSize(int32_t width, int32_t height) {
  SetWidth(width);
  SetHeight(height);
}

std::string TPageTemplate::Caption() const {
  if (!properties_->Name().empty()) return properties_->Name();
  return "Seite ID: " + std::to_string(properties_->ID());
}

TPageTemplateProject* TPageTemplate::Project() const {
  return FindOwner<TPageTemplateProject>(this);
}

// ---- TPrintWizardPageTemplateProperties ----

std::string TPrintWizardPageTemplateProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TPageTemplateProperties::EditorFrameClassNames(),
                                    "TPrintWizardPageTemplatePropertiesEditorFrame");
}

void TPrintWizardPageTemplateProperties::SetPageWidth(double centimetres) {
  pageWidth_ = centimetres;
  if (OnPageWidthChanged) OnPageWidthChanged(centimetres);
}

void TPrintWizardPageTemplateProperties::SetPageHeight(double centimetres) {
  pageHeight_ = centimetres;
  if (OnPageHeightChanged) OnPageHeightChanged(centimetres);
}

void TPrintWizardPageTemplateProperties::MapFields(TFieldMap& map) {
  TPageTemplateProperties::MapFields(map);
  map.SubChunk([&] {
    map.Double("pageWidth", pageWidth_);
    map.Double("pageHeight", pageHeight_);
    map.Double("resolution", resolution_);
    map.Color("backColor", backColor_);
    map.Boolean("reserved", reserved_);
    map.String("backgroundFile", backgroundFile_);
    map.Byte("backgroundMode", backgroundMode_);
    map.Double("backgroundWidth", backgroundWidth_);
    map.Double("backgroundHeight", backgroundHeight_);
    map.Byte("backgroundAlpha", backgroundAlpha_);
  });
}

// ---- TPrintWizardPageTemplate ----

TPrintWizardPageTemplate::TPrintWizardPageTemplate()
    : TPageTemplate(TPrintWizardPageTemplateProperties::StaticClass()) {
  // The integer size follows the centimetre size an editor sets, rounded to whole numbers.
  TPrintWizardPageTemplateProperties& bag = WizardProperties();
  bag.OnPageWidthChanged = [this](double centimetres) { SetWidth(RoundHalfToEven(centimetres)); };
  bag.OnPageHeightChanged = [this](double centimetres) { SetHeight(RoundHalfToEven(centimetres)); };
}

TPrintWizardPageTemplateProperties& TPrintWizardPageTemplate::WizardProperties() const {
  // The constructor created the bag of this class.
  return static_cast<TPrintWizardPageTemplateProperties&>(Properties());
}

std::string TPrintWizardPageTemplate::GetFileName() const {
  const TPageTemplateProject* project = Project();
  return ResolveTemplateFileName(WizardProperties().BackgroundFile(),
                                 project != nullptr ? project->FileName() : std::string());
}

void TPrintWizardPageTemplate::SetFileName(const std::string& name) {
  WizardProperties().SetBackgroundFile(name);
}

std::vector<std::string> TPrintWizardPageTemplate::FileList() const {
  return {GetFileName()};
}

void TPrintWizardPageTemplate::RenameFile(const std::string& oldName, const std::string& newName) {
  if (oldName == WizardProperties().BackgroundFile() || oldName == GetFileName()) {
    WizardProperties().SetBackgroundFile(newName);
  }
}

std::vector<std::string> TPrintWizardPageTemplate::RawFileList() const {
  return {WizardProperties().BackgroundFile()};
}

std::string TPrintWizardPageTemplate::GetRawFileName() const {
  return WizardProperties().BackgroundFile();
}

void TPrintWizardPageTemplate::SetFileNameAt(const std::string& name) {
  SetFileName(name);
}

void TPrintWizardPageTemplate::DrawBackground(TBitmap32& bitmap, const TPixelRect& pageRect) {
  // 1. the colour, on the part of the page rectangle that lies on the bitmap
  const TColor32 colour = WizardProperties().BackColor();
  const int32_t left = std::max(pageRect.Left, 0);
  const int32_t top = std::max(pageRect.Top, 0);
  const int32_t right = std::min(pageRect.Right, bitmap.Width());
  const int32_t bottom = std::min(pageRect.Bottom, bitmap.Height());
  if (left < right) {
    for (int32_t y = top; y < bottom; ++y) {
      TColor32* row = bitmap.ScanLine(y);
      std::fill(row + left, row + right, colour);
    }
  }
  // 2. without a background file the colour is all
  if (WizardProperties().BackgroundFile().empty()) return;
  const std::string name = GetFileName();
  if (name.empty()) return;
  // 3. a picture that cannot be had leaves the colour alone
  const TBackgroundPicture picture = TBackgroundPicture::Obtain(name);
  if (picture.Pixels() == nullptr) return;
  // 4.-5.
  DrawBackgroundPicture(bitmap, pageRect, *picture.Pixels(), WizardProperties());
}

std::string TPrintWizardPageTemplate::ExpandVariables(const std::string& text) const {
  return ExpandTemplateVariables(text, this);
}

bool TPrintWizardPageTemplate::ReadFromStream(TCSFStream& stream) {
  if (!TPageTemplate::ReadFromStream(stream)) return false;
  return FalseOnFailure([&] {
    // 3. entered and left, so what a newer writer put there is skipped
    TReadSubChunk reserved(stream);
    return true;
  });
}

bool TPrintWizardPageTemplate::WriteToStream(TCSFStream& stream) const {
  const bool written = TPageTemplate::WriteToStream(stream);
  // 3. always there, so that the layout stays readable even after a failed element
  const bool reserved = FalseOnFailure([&] {
    TWriteSubChunk chunk(stream);
    chunk.End();
    return true;
  });
  return reserved && written;
}

}  // namespace nimbra
