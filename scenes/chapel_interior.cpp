// The chapel from inside, with the two figures: the 12 s opening shot and five shots from
// 122000 to 177999 ms, all on the DemoClock axis. The draw list never changes; the camera
// path and the fade of the light are closed formulas of the segment time.
#include <cmath>

#include "render/display_device.h"
#include "render/scene_state.h"
#include "scenes/scene_segments.h"
#include "scenes/scenes.h"

namespace {

// Only the opening shot fades in; the others start at full light and fade out at the end.
const SceneSegment InteriorSegments[] = {
    {0, 12000, LightRamp::FadeInThenOut, 10000, 0.0005f},
    {122000, 132000, LightRamp::FadeOut, 7000, 0.00033333333f},
    {132000, 142000, LightRamp::FadeOut, 7000, 0.00033333333f},
    {142000, 150000, LightRamp::FadeOut, 6000, 0.0005f},
    {150000, 170000, LightRamp::FadeOut, 15000, 0.0002f},
    {170000, 178000, LightRamp::FadeOut, 4000, 0.00025f},
};
constexpr int kInteriorSegmentCount = sizeof(InteriorSegments) / sizeof(InteriorSegments[0]);

constexpr int kChapelInteriorMesh = 0;
constexpr int kJesusMesh = 1;
constexpr int kWomanMesh = 2;
constexpr int kChapelTexture = 0;
constexpr int kJesusTexture = 1;
constexpr int kWomanTexture = 2;

// Eye and target of one shot at segment time u.
void InteriorCamera(int segment, std::int32_t u, D3DXVECTOR3& eye, D3DXVECTOR3& target) {
  switch (segment) {
    case 1: {  // slides along +x, looking along +y
      const float x = u * 0.00041666668f - 2.5f;
      eye = {x, 6.0f, 6.5f};
      target = {x, 9.0f, 6.5f};
      break;
    }
    case 2: {  // widening circle around the figures, rising slowly
      const float r = 1.5f + u * 0.0004f;
      const float a = u * 0.04f * kRadiansPerDegree;
      eye = {r * std::cos(a), 1.75f + r * std::sin(a), 2.4f + u * 0.00013333333f};
      target = {0.0f, 1.75f, 3.3f};
      break;
    }
    case 3: {  // the same line, turning the other way
      const float r = 5.0f + u * 0.0002f;
      const float a = u * -0.028571429f * kRadiansPerDegree;
      eye = {r * std::cos(a), 1.75f + r * std::sin(a), 4.3f + u * 0.0004f};
      target = {0.0f, 1.75f, 4.3f};
      break;
    }
    case 4: {  // straight up, looking level along +y
      const float h = 4.5f + u * 0.0005988024f;
      eye = {0.0f, 7.0f, h};
      target = {0.0f, 10.0f, h};
      break;
    }
    case 5: {
      const float r = 5.6f + u * 0.0002f;
      const float a = u * 0.05f * kRadiansPerDegree;
      eye = {r * std::cos(a), 1.75f + r * std::sin(a), 4.3f + u * 0.00029411764f};
      target = {0.0f, 1.75f, 4.3f};
      break;
    }
    case 6: {  // closing spiral that sinks to 2.5 and stays there for the last 125 ms
      const float r = 5.6f - u * 0.00066666666f;
      const float a = u * 0.05f * kRadiansPerDegree;
      float z = 7.0f - u * 0.00057142857f;
      if (z < 2.5f) z = 2.5f;
      eye = {r * std::cos(a), 4.9f + r * std::sin(a), z};
      target = {0.0f, 4.9f, 2.5f};
      break;
    }
  }
}

}  // namespace

void RenderInteriorScene(std::int32_t t) {
  SetStandardProjection();

  const int segment = FindSceneSegment(InteriorSegments, kInteriorSegmentCount, t);
  // The timeline never calls outside the six shots; there is then no camera to draw with.
  if (segment == 0) return;
  const std::int32_t u = t - InteriorSegments[segment - 1].start;

  FillSceneLight(0.75f, 0.0f, 0.25f, D3DVECTOR{0.0f, 5.0f, 10.0f}, 100.0f);
  ScaleSceneLight(SegmentLightFactor(InteriorSegments[segment - 1], u));
  SetSceneLight();

  D3DXVECTOR3 eye;
  D3DXVECTOR3 target;
  InteriorCamera(segment, u, eye, target);
  SetViewMatrix(eye, target);

  MaterialInterior();
  Device->SetTexture(0, SceneTextures[kChapelTexture]);
  DrawMesh(MeshTable[kChapelInteriorMesh]);

  // Both figures share one material.
  MaterialFigure();
  Device->SetTexture(0, SceneTextures[kJesusTexture]);
  DrawMesh(MeshTable[kJesusMesh]);
  Device->SetTexture(0, SceneTextures[kWomanTexture]);
  DrawMesh(MeshTable[kWomanMesh]);
}
