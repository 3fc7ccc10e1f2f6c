#include "album/WallpaperProperties.h"

#include <string>

#include "framework/AfterInitialization.h"
#include "framework/FieldMap.h"
#include "framework/GlobalProperties.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TWallpaperProperties, TProperties)

void TWallpaperProperties::MapFields(TFieldMap& map) {
  TProperties::MapFields(map);
  map.Boolean("UpdateProfile", updateProfile_);
}

void RegisterWallpaperProperties() {
  RegisterClass(TWallpaperProperties::StaticClass());
  TPropertiesList* list = GlobalPropertiesList();
  if (list == nullptr || list->ByClass(TWallpaperProperties::StaticClass()) != nullptr) return;
  list->AddNew(TWallpaperProperties::StaticClass(), TWallpaperProperties::StaticClass(),
               std::string(kGlobalPropertiesCaption));
  AfterInitialization().AddStep([] {
    if (TPropertiesList* global = GlobalPropertiesList()) {
      global->SetCaptionByClass(TWallpaperProperties::StaticClass(),
                                std::string(kGlobalPropertiesCaption));
    }
  });
}

void UnregisterWallpaperProperties() { UnregisterClass(TWallpaperProperties::StaticClass()); }

TWallpaperProperties* WallpaperProperties() {
  TPropertiesList* list = GlobalPropertiesList();
  if (list == nullptr) return nullptr;
  return static_cast<TWallpaperProperties*>(list->ByClass(TWallpaperProperties::StaticClass()));
}

}  // namespace nimbra
