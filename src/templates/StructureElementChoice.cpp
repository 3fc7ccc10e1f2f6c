#include "templates/StructureElementChoice.h"

#include <algorithm>
#include <vector>

#include "framework/FieldMap.h"
#include "templates/ElementBinding.h"
#include "templates/PageTemplate.h"
#include "templates/PageTemplateProject.h"
#include "templates/PhotoOrientation.h"
#include "templates/RequiredBag.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TStructureElementChoiceProperties, TPageTemplateStructureElementProperties)
NIMBRA_DEFINE_PLUGIN(TPageTemplateStructureElementChoice, TPageTemplateStructureElement)

namespace {

struct TAlternative {
  TPageTemplate* Template;
  char Orientation;
};

// The number of photos one page of the template takes: its elements that take an object.
int PhotosTakenBy(const TPageTemplate& pageTemplate) {
  int taken = 0;
  const TPageElementList& elements = pageTemplate.Elements();
  for (int32_t i = 0; i < elements.Count(); ++i) {
    const auto* consumer = dynamic_cast<const IObjectConsumer*>(elements.Items(i));
    if (consumer != nullptr && consumer->TakesObject()) ++taken;
  }
  return taken;
}

bool Fits(char wanted, TPhotoOrientation orientation) {
  switch (wanted) {
    case kChoicePortraitPhoto:
      return orientation == TPhotoOrientation::Portrait;
    case kChoiceLandscapePhoto:
      return orientation == TPhotoOrientation::Landscape;
    case kChoicePanoramaPhoto:
      return orientation == TPhotoOrientation::Panorama;
    default:
      return true;
  }
}

}  // namespace

void TStructureElementChoiceProperties::MapFields(TFieldMap& map) {
  TPageTemplateStructureElementProperties::MapFields(map);
  map.String("orientations", orientations_);
}

char TStructureElementChoiceProperties::OrientationOf(int32_t alternative) const {
  const auto place = static_cast<size_t>(alternative);
  return alternative >= 0 && place < orientations_.size() ? orientations_[place] : kChoiceAnyPhoto;
}

TPageTemplateStructureElementChoice::TPageTemplateStructureElementChoice()
    : TPageTemplateStructureElement(TStructureElementChoiceProperties::StaticClass()) {}

TStructureElementChoiceProperties& TPageTemplateStructureElementChoice::ChoiceProperties() const {
  return RequiredBag(PropertiesAs<TStructureElementChoiceProperties>());
}

namespace {

// The children that are pages with a template, with the orientation each asks for.
std::vector<TAlternative> AlternativesOf(const TPageTemplateStructureElementChoice& choice) {
  std::vector<TAlternative> alternatives;
  const TRef<ITreeItemList> children = choice.GetChildren();
  if (!children) return alternatives;
  for (int32_t i = 0; i < children->Count(); ++i) {
    const auto* page = dynamic_cast<const IStructurePage*>(children->GetItem(i).Get());
    TPageTemplate* pageTemplate = page != nullptr ? page->GetTemplate() : nullptr;
    if (pageTemplate != nullptr) {
      alternatives.push_back({pageTemplate, choice.ChoiceProperties().OrientationOf(i)});
    }
  }
  return alternatives;
}

}  // namespace

int32_t TPageTemplateStructureElementChoice::MostPhotos() const {
  int32_t most = 0;
  for (const TAlternative& alternative : AlternativesOf(*this)) {
    most = std::max(most, static_cast<int32_t>(PhotosTakenBy(*alternative.Template)));
  }
  return most;
}

TPageTemplate* TPageTemplateStructureElementChoice::ChooseTemplate(
    const TPhotosAhead& ahead) const {
  const std::vector<TAlternative> alternatives = AlternativesOf(*this);
  if (alternatives.empty()) return nullptr;
  // A photo's header is read only where an alternative asks for an orientation: a choice by the
  // number of photos left alone would read every photo of the album while the page list is built.
  const bool asksOrientation = std::any_of(
      alternatives.begin(), alternatives.end(),
      [](const TAlternative& alternative) { return alternative.Orientation != kChoiceAnyPhoto; });
  const TPageTemplateProject* project = Project();
  const TPhotoOrientation orientation =
      ahead.First && asksOrientation
          ? OrientationOf(ahead.First, project != nullptr ? project->FileName() : "")
          : TPhotoOrientation::Unknown;
  const TAlternative* fitting = nullptr;
  for (const TAlternative& alternative : alternatives) {
    if (!Fits(alternative.Orientation, orientation)) continue;
    if (PhotosTakenBy(*alternative.Template) <= ahead.Count) return alternative.Template;
    if (fitting == nullptr) fitting = &alternative;
  }
  return fitting != nullptr ? fitting->Template : alternatives.front().Template;
}

}  // namespace nimbra
