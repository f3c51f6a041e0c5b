// Temporary entry points; the scene files replace them.
#include "render/scene_state.h"
#include "scenes/scenes.h"

bool MonkVisible = true;
void RenderInteriorScene(std::int32_t) { SetStandardProjection(); }
void RenderExteriorScene(std::int32_t) { SetStandardProjection(); }
void RenderPicture(std::int32_t, int, std::int32_t, std::int32_t) { SetStandardProjection(); }
void RenderFinale(std::int32_t) { SetStandardProjection(); }
