// Whether a page is drawn for the design view (placeholders, frames, cached pictures at preview
// quality) or rendered for output (expanded texts, pictures decoded at full quality).
#pragma once

#include <cstdint>

namespace nimbra {

enum class TRenderMode : uint8_t { DesignView = 0, FinalRendering = 1 };

}  // namespace nimbra
