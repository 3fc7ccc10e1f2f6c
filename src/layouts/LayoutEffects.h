// The effects of a picture element in a layout: "effects" is a list of shadows, borders,
// colourings and collages, each with its settings in the units users think in (centimetres,
// degrees, colours as "#RRGGBB" or "#AARRGGBB", percentages), turned into the effects' stored
// settings.
#pragma once

#include "layouts/LayoutFields.h"

namespace nimbra {

class TPrintWizardPictureEffectList;

// Adds the effects listed in the element's "effects", in order; nothing without the member.
// Raises at the first mistake, with its line.
void ReadPictureEffects(TLayoutFields& element, TPrintWizardPictureEffectList& effects);

}  // namespace nimbra
