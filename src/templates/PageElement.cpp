#include "templates/PageElement.h"

#include "framework/FieldMap.h"
#include "framework/FileNameResolution.h"
#include "framework/OwnedBag.h"
#include "storage/Check.h"
#include "templates/PageElementList.h"
#include "templates/PageTemplate.h"
#include "templates/PageTemplateProject.h"
#include "templates/StreamCopy.h"
#include "templates/TemplateVariables.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPageElementProperties, TProperties)
NIMBRA_DEFINE_PLUGIN(TPageElement, TInterfacedPlugin)
NIMBRA_DEFINE_PLUGIN(TVisiblePageElementProperties, TPageElementProperties)
NIMBRA_DEFINE_PLUGIN(TVisiblePageElement, TPageElement)
NIMBRA_DEFINE_PLUGIN(TPrintWizardElement, TVisiblePageElement)

// ---- TPageElement ----

TPageElement::TPageElement(const TMetaClass& propertiesClass)
    : propertiesClass_(&propertiesClass),
      properties_(CreateAs<TPageElementProperties>(propertiesClass)) {
  NIMBRA_CHECK(properties_, propertiesClass.ClassName() + " is no page element bag");
  properties_->SetElement(this);
}

TPageElement::~TPageElement() = default;

void TPageElement::Assign(const TPlugin& source) {
  const auto* element = dynamic_cast<const TPageElement*>(&source);
  if (element == nullptr || element == this) return;
  CopyThroughStream([element](TCSFStream& stream) { element->WriteToStream(stream); },
                    [this](TCSFStream& stream) { ReadFromStream(stream); });
}

void TPageElement::DoChange(int32_t a, uint8_t b) {
  if (OnChange) OnChange(this, a, b);
}

bool TPageElement::ReadFromStream(TCSFStream& stream) {
  return ReadBagInSubChunk(stream, *properties_);
}

bool TPageElement::WriteToStream(TCSFStream& stream) const {
  return WriteBagInSubChunk(stream, *properties_);
}

std::unique_ptr<TPageElement> TPageElement::Clone() const {
  std::unique_ptr<TPageElement> clone = CreateAs<TPageElement>(ClassType());
  if (clone) clone->Assign(*this);
  return clone;
}

TPageElementList* TPageElement::GetElementList() const {
  return dynamic_cast<TPageElementList*>(owner_);
}

void TPageElement::SetElementList(TPageElementList* list) {
  owner_ = list;
}

// ---- TVisiblePageElementProperties ----

void TVisiblePageElementProperties::MapFields(TFieldMap& map) {
  TPageElementProperties::MapFields(map);
  map.SubChunk([&] { map.Rect("bounds", bounds_); });
}

// ---- TVisiblePageElement ----

TVisiblePageElement::TVisiblePageElement(const TMetaClass& propertiesClass, double defaultWidth,
                                         double defaultHeight)
    : TPageElement(propertiesClass), defaultWidth_(defaultWidth), defaultHeight_(defaultHeight) {
  NIMBRA_CHECK(PropertiesAs<TVisiblePageElementProperties>() != nullptr,
               propertiesClass.ClassName() + " is no visible element bag");
  TDoubleRect bounds = GetBounds();
  if (defaultWidth_ != 0) bounds.Right = bounds.Left + defaultWidth_;
  if (defaultHeight_ != 0) bounds.Bottom = bounds.Top + defaultHeight_;
  SetBounds(bounds);
}

TVisiblePageElementProperties& TVisiblePageElement::VisibleProperties() const {
  // The constructor made sure of the class.
  return static_cast<TVisiblePageElementProperties&>(Properties());
}

TDoubleRect TVisiblePageElement::GetBounds() const {
  return VisibleProperties().Bounds();
}

void TVisiblePageElement::SetBounds(const TDoubleRect& bounds) {
  VisibleProperties().SetBounds(bounds);
}

TPixelRect TVisiblePageElement::PixelBounds(const TPixelRect& pageRect) const {
  return FractionToPixels(GetBounds(), pageRect);
}

// ---- TPrintWizardElement ----

TPrintWizardElement::TPrintWizardElement(const TMetaClass& propertiesClass, double defaultWidth,
                                         double defaultHeight)
    : TVisiblePageElement(propertiesClass, defaultWidth, defaultHeight) {}

std::string TPrintWizardElement::ExpandVariables(const std::string& text) const {
  // In one expansion, so that a value one round inserts is never read as a variable by the next.
  return SubstituteVariables(VariableRounds(), text);
}

std::vector<TVariableRound> TPrintWizardElement::VariableRounds() const {
  std::vector<TVariableRound> rounds;
  if (const TPrintWizardPageTemplateProject* project = TemplateProject()) {
    rounds = TemplateVariableRounds(project);
  }
  if (const TPrintWizardPageTemplate* pageTemplate = PageTemplate()) {
    for (const TVariableRound& round : TemplateVariableRounds(pageTemplate)) rounds.push_back(round);
  }
  return rounds;
}

TPrintWizardPageTemplate* TPrintWizardElement::PageTemplate() const {
  return FindOwner<TPrintWizardPageTemplate>(this);
}

TPrintWizardPageTemplateProject* TPrintWizardElement::TemplateProject() const {
  return FindOwner<TPrintWizardPageTemplateProject>(this);
}

double TPrintWizardElement::Resolution() const {
  if (const TPrintWizardPageTemplate* pageTemplate = PageTemplate()) {
    return pageTemplate->WizardProperties().Resolution();
  }
  return kDefaultResolution;
}

std::string TPrintWizardElement::ResolveFileName(const std::string& name) const {
  const TPrintWizardPageTemplateProject* project = TemplateProject();
  return ResolveTemplateFileName(name, project != nullptr ? project->FileName() : std::string());
}

std::unique_ptr<TBitmap32> TPrintWizardElement::GetGlyph() const {
  return nullptr;
}

}  // namespace nimbra
