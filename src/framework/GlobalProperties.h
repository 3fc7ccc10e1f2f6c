// The global properties list: the application-wide settings bags of the program's units, created
// at framework start-up and freed at its shutdown.
#pragma once

#include <memory>
#include <string_view>

#include "framework/PropertiesList.h"

namespace nimbra {

// The caption every unit gives its global bag, at start-up and again once start-up has finished.
inline constexpr std::string_view kGlobalPropertiesCaption = "Grundeinstellungen";

// The list, or none outside framework start-up and shutdown.
TPropertiesList* GlobalPropertiesList();
// Installs a list and yields the one it replaces, for its owner to free.
std::unique_ptr<TPropertiesList> SetGlobalPropertiesList(std::unique_ptr<TPropertiesList> list);

}  // namespace nimbra
