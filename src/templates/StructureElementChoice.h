// A page whose template is chosen as the walk reaches it, among the pages below it: by the
// orientation of the first photo the page would show (a portrait, a landscape and a panorama
// variant of a page), and by how many photos are left (a last page of fewer photos instead of a
// half-empty one). The walk never enters its children; they only name the alternatives, in order.
#pragma once

#include <cstdint>
#include <string>

#include "templates/PageTemplateStructure.h"
#include "templates/StructureInterfaces.h"

namespace nimbra {

// What an alternative asks of the first photo, one character per child in the stored text.
inline constexpr char kChoiceAnyPhoto = '*';
inline constexpr char kChoicePortraitPhoto = 'P';
inline constexpr char kChoiceLandscapePhoto = 'L';
inline constexpr char kChoicePanoramaPhoto = 'W';

class TStructureElementChoiceProperties : public TPageTemplateStructureElementProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TStructureElementChoiceProperties() = default;

  // Orientations as one text.
  void MapFields(TFieldMap& map) override;

  // The orientation asked for by the alternative of that place; any past the text's end.
  char OrientationOf(int32_t alternative) const;
  const std::string& Orientations() const { return orientations_; }
  void SetOrientations(std::string orientations) { orientations_ = std::move(orientations); }

 private:
  std::string orientations_;
};

class TPageTemplateStructureElementChoice : public TPageTemplateStructureElement,
                                            public IStructurePageChoice {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPageTemplateStructureElementChoice();

  static std::string ClassCaption() { return "Seitenwahl"; }

  int32_t MostPhotos() const override;
  // The first alternative whose orientation fits the first photo and whose photos are all
  // there; else the first whose orientation fits; else the first. An orientation that cannot be
  // told fits only alternatives that ask for none.
  TPageTemplate* ChooseTemplate(const TPhotosAhead& ahead) const override;
  TStructureElementChoiceProperties& ChoiceProperties() const;
};

}  // namespace nimbra
