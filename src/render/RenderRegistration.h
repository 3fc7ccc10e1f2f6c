// The start and end of the render unit: it enters the engine settings and the picture formats
// into the run-time class registry, so that stored settings find their classes again. Runs after
// the element units' start-up.
#pragma once

namespace nimbra {

// A second call while the unit runs changes nothing.
void RenderStartup();
void RenderShutdown();

}  // namespace nimbra
