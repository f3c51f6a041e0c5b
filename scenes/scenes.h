// The four scene renderers. Each takes its own time axis (see the timeline in
// frame_driver.cpp) and draws one frame between BeginScene and EndScene.
#pragma once

#include <cstdint>

void RenderInteriorScene(std::int32_t t);
void RenderExteriorScene(std::int32_t t);
void RenderPicture(std::int32_t t, int picture, std::int32_t duration, std::int32_t fade);
void RenderFinale(std::int32_t t);

// The exterior scene's one piece of state: the monk stands until the first frame of its
// sixth shot. Set at program start; cleared by that frame; never set again.
extern bool MonkVisible;

// Puts the scenes' state where a run that reached DemoClock t has left it, for front ends
// that start or jump anywhere in the timeline.
void RestoreSceneStateAt(std::int32_t t);
