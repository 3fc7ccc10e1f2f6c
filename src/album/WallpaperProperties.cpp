#include "album/WallpaperProperties.h"

#include <string>

#include "framework/AfterInitialization.h"
#include "framework/FieldWriter.h"
#include "framework/GlobalProperties.h"
#include "storage/CSFStream.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TWallpaperProperties, TProperties)

bool TWallpaperProperties::WriteToStream(TCSFStream& stream) const {
  if (!TProperties::WriteToStream(stream)) return false;
  try {
    stream.WriteBoolean(updateProfile_);
    return true;
  } catch (...) {
    return false;
  }
}

bool TWallpaperProperties::ReadFromStream(TCSFStream& stream) {
  if (!TProperties::ReadFromStream(stream)) return false;
  try {
    updateProfile_ = stream.ReadBoolean();
    return true;
  } catch (...) {
    return false;
  }
}

void TWallpaperProperties::DescribeFields(TFieldWriter& fields) const {
  TProperties::DescribeFields(fields);
  fields.Boolean("UpdateProfile", updateProfile_);
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
