// RenderFrame: one whole frame for a DemoClock value, by the fixed timeline of the demo.
#pragma once

#include <cstdint>

// The demo ends at the first frame at or after this time.
inline constexpr std::int32_t kDemoEnd = 294000;

// Which renderer the timeline calls at a DemoClock value, and with which arguments.
enum class SceneRenderer { None, Interior, Exterior, Picture, Finale };

struct TimelineCall {
  SceneRenderer renderer = SceneRenderer::None;
  std::int32_t t = 0;  // the renderer's own time
  int picture = 0;     // pictures only
  std::int32_t duration = 0;
  std::int32_t fade = 0;
};

TimelineCall TimelineCallAt(std::int32_t t);

// Clears, begins the scene, calls at most one renderer, posts the quit at the end of the
// demo, draws the frame-rate text when asked, ends the scene and presents.
void RenderFrame(std::int32_t t);
