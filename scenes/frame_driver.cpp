// The timeline: 294 seconds in nine windows, each a half-open interval of DemoClock
// milliseconds bound to one renderer call.
//
//   [     0,  12000)  interior   t            [115000, 122000)  picture 2   t - 115000
//   [ 12000,  50000)  exterior   t - 12000    [122000, 178000)  interior    t
//   [ 50000,  56800)  picture 1  t - 50000    [178000, 190000)  picture 3   t - 178000
//   [ 56800, 115000)  exterior   t            [190000, 260000)  exterior    t
//                                             [260000, 294000)  finale      t - 260000
//
// Picture 1 is given a duration of 8800 ms though its window lasts 6800: its fade-out is
// never reached, and the picture cuts to the exterior at full light.
#include "scenes/frame_driver.h"

#include "app/app_state.h"
#include "render/display_device.h"
#include "scenes/scenes.h"

namespace {

constexpr D3DCOLOR kBackgroundColour = 0xFF000080;  // opaque dark blue
constexpr D3DCOLOR kFpsTextColour = 0xFFFFFFFF;

void DispatchByTimeline(std::int32_t t) {
  const TimelineCall call = TimelineCallAt(t);
  switch (call.renderer) {
    case SceneRenderer::Interior: RenderInteriorScene(call.t); break;
    case SceneRenderer::Exterior: RenderExteriorScene(call.t); break;
    case SceneRenderer::Picture: RenderPicture(call.t, call.picture, call.duration, call.fade); break;
    case SceneRenderer::Finale: RenderFinale(call.t); break;
    case SceneRenderer::None: break;
  }
}

void DrawFrameRateText() {
  char text[32];
  wsprintfA(text, "FPS: %d", FpsValue);
  RECT rect{10, 10, 100, 30};
  Device->Begin(FpsFont);
  Device->DrawTextA(FpsFont, text, -1, &rect, DT_CENTER, kFpsTextColour);
  Device->End(FpsFont);
}

}  // namespace

TimelineCall TimelineCallAt(std::int32_t t) {
  using enum SceneRenderer;
  if (t >= 0 && t < 12000) return {Interior, t};
  if (t >= 12000 && t < 50000) return {Exterior, t - 12000};
  if (t >= 50000 && t < 56800) return {Picture, t - 50000, 1, 8800, 2000};
  if (t >= 56800 && t < 115000) return {Exterior, t};
  if (t >= 115000 && t < 122000) return {Picture, t - 115000, 2, 7000, 1500};
  if (t >= 122000 && t < 178000) return {Interior, t};
  if (t >= 178000 && t < 190000) return {Picture, t - 178000, 3, 12000, 3000};
  if (t >= 190000 && t < 260000) return {Exterior, t};
  if (t >= 260000 && t < kDemoEnd) return {Finale, t - 260000};
  return {};
}

void RenderFrame(std::int32_t t) {
  if (Device == nullptr) return;
  Device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackgroundColour, 1.0f, 0);
  Device->BeginScene();
  DispatchByTimeline(t);
  if (t >= kDemoEnd) PostQuitMessage(0);
  if (showFps) DrawFrameRateText();
  Device->EndScene();
  Device->Present(nullptr, nullptr, nullptr, nullptr);
}
