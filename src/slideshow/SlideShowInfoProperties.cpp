#include "slideshow/SlideShowInfoProperties.h"

#include "framework/FieldMap.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TSlideShowInfoProperties, TProperties)

std::string TSlideShowInfoProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TProperties::EditorFrameClassNames(),
                                    "TSlideShowPropertiesSlideShowInfoFrame");
}

void TSlideShowInfoProperties::MapFields(TFieldMap& map) {
  TProperties::MapFields(map);
  map.String("author", author_);
  map.String("title", title_);
  map.String("description", description_);
  map.String("copyright", copyright_);
  // An empty sub-chunk keeps the bytes there are.
  map.SubChunk([&] {
    map.RemainingBytes("extraData", extraData_, [this](std::string bytes) {
      if (!bytes.empty()) extraData_ = std::move(bytes);
      return true;
    });
  });
}

void TSlideShowInfoProperties::Reset() {
  TProperties::Reset();
  extraData_.clear();
}

}  // namespace nimbra
