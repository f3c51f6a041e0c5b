// The landscape outside the chapel: chapel, monk, terrain, sky dome and trees in 15 shots.
// Its one time axis holds three stretches: 0-37999 (the timeline shifts DemoClock 12000-49999
// down), 56800-114999 and 190000-259999 (DemoClock as it is).
#include <cmath>

#include "render/display_device.h"
#include "render/scene_state.h"
#include "scenes/scene_segments.h"
#include "scenes/scenes.h"

// Written only here: cleared by the first frame of shot 6, never set again.
bool MonkVisible = true;

namespace {

// Shot 3 starts fading 500 ms before its end, so its last frame is still lit at about 2/3.
// Shot 13 fades in from black; shot 14 swells and ebbs as a half sine wave.
const SceneSegment ExteriorSegments[] = {
    {0, 3500, LightRamp::FadeOut, 2000, 0.00066666666f},
    {3500, 13800, LightRamp::FadeOut, 8000, 0.00043478262f},
    {13800, 17300, LightRamp::FadeOut, 3000, 0.00066666666f},
    {17300, 30000, LightRamp::FadeOut, 10700, 0.0005f},
    {30000, 38000, LightRamp::FadeOut, 5000, 0.00033333333f},
    {56800, 60000, LightRamp::FadeOut, 2200, 0.001f},
    {60000, 68000, LightRamp::FadeOut, 6000, 0.0005f},
    {68000, 76000, LightRamp::FadeOut, 6000, 0.0005f},
    {76000, 84000, LightRamp::FadeOut, 6000, 0.0005f},
    {84000, 92000, LightRamp::FadeOut, 6000, 0.0005f},
    {92000, 115000, LightRamp::FadeOut, 18000, 0.0002f},
    {190000, 210000, LightRamp::FadeOut, 17000, 0.00033333333f},
    {210000, 230000, LightRamp::FadeInThenOut, 15000, 0.0002f},
    {230000, 250000, LightRamp::HalfSine, 0, 0.0090909088f},
    {250000, 260000, LightRamp::FadeOut, 7000, 0.00033333333f},
};
constexpr int kExteriorSegmentCount = sizeof(ExteriorSegments) / sizeof(ExteriorSegments[0]);
constexpr int kMonkLeavesSegment = 6;

constexpr int kChapelMesh = 3;
constexpr int kMonkMesh = 4;
constexpr int kTerrainMesh = 5;
constexpr int kSkyDomeMesh = 6;
constexpr int kChapelTexture = 0;
constexpr int kMonkTexture = 3;
constexpr int kTerrainTexture = 4;
constexpr int kSkyTexture = 5;

// Eye and target of one shot at segment time u. Angles grow counter-clockwise seen from above.
void ExteriorCamera(int segment, std::int32_t u, D3DXVECTOR3& eye, D3DXVECTOR3& target) {
  switch (segment) {
    case 1: {  // circle around the chapel
      const float a = u * 0.04f * kRadiansPerDegree;
      eye = {31.5f + 12.0f * std::cos(a), 24.0f + 12.0f * std::sin(a), 13.0f};
      target = {31.5f, 24.0f, 16.0f};
      break;
    }
    case 2: {  // wide clockwise circle, rising
      const float a = u * -0.028571429f * kRadiansPerDegree;
      eye = {31.5f + 40.0f * std::cos(a), 12.0f + 40.0f * std::sin(a), 10.0f + u * 0.001f};
      target = {31.5f, 12.0f, 10.0f};
      break;
    }
    case 3: {  // the circle of shot 1, higher
      const float a = u * 0.04f * kRadiansPerDegree;
      eye = {31.5f + 12.0f * std::cos(a), 24.0f + 12.0f * std::sin(a), 18.0f};
      target = {31.5f, 24.0f, 16.0f};
      break;
    }
    case 4: {  // low slide along -x
      const float x = 40.0f - u * 0.0033333334f;
      eye = {x, 43.0f, 3.3f};
      target = {x, 40.0f, 3.5f};
      break;
    }
    case 5: {  // small circle close to the ground
      const float a = u * 0.011111111f * kRadiansPerDegree;
      eye = {-2.0f + 2.5f * std::cos(a), 33.0f + 2.5f * std::sin(a), 3.0f};
      target = {-2.0f, 33.0f, 3.5f};
      break;
    }
    case 6: {  // closing spiral over the chapel
      const float r = 12.0f - u * 0.002f;
      const float a = u * 0.04f * kRadiansPerDegree;
      eye = {31.5f + r * std::cos(a), 24.0f + r * std::sin(a), 16.0f + u * 0.002f};
      target = {31.5f, 24.0f, 16.0f};
      break;
    }
    case 7: {
      const float y = u * 0.0021881838f - 7.5f;
      eye = {-17.0f, y, 4.0f};
      target = {-20.0f, y, 3.5f};
      break;
    }
    case 8: {
      const float y = 10.0f - u * 0.0021881838f;
      eye = {18.0f, y, 4.0f};
      target = {15.0f, y, 3.5f};
      break;
    }
    case 9: {
      const float x = 25.0f + u * 0.0016666667f;
      eye = {x, -10.5f, 3.7f};
      target = {x, -3.0f, 3.5f};
      break;
    }
    case 10: {
      const float y = u * 0.0018761726f - 30.0f;
      eye = {33.0f, y, 6.25f};
      target = {25.0f, y, 5.5f};
      break;
    }
    case 11: {  // widening spiral around the origin
      const float r = 12.0f + u * 0.0025f;
      const float a = u * 0.028571429f * kRadiansPerDegree;
      eye = {r * std::cos(a), r * std::sin(a), 5.0f + u * 0.002f};
      target = {0.0f, 0.0f, 5.0f};
      break;
    }
    case 12: {  // closing, sinking spiral
      const float r = 30.0f - u * 0.0008f;
      const float a = u * 0.04f * kRadiansPerDegree;
      eye = {-19.3f + r * std::cos(a), -20.5f + r * std::sin(a), 18.5f - u * 0.0005f};
      target = {-19.3f, -20.5f, 8.5f};
      break;
    }
    case 13: {  // eye and target sink together, looking level
      const float z = 10.0f - u * 0.0004f;
      eye = {-12.0f, -20.5f, z};
      target = {-15.0f, -20.5f, z};
      break;
    }
    case 14: {  // the camera backs away from what it looks at
      const float x = u * 0.0004f - 19.5f;
      eye = {x + 3.0f, -20.5f, 3.95f};
      target = {x, -20.5f, 3.7f};
      break;
    }
    case 15: {  // the last, fast widening spiral
      const float r = 12.0f + u * 0.013333334f;
      const float a = u * 0.05f * kRadiansPerDegree;
      eye = {r * std::cos(a), r * std::sin(a), 5.0f + u * 0.013333334f};
      target = {0.0f, 0.0f, 5.0f};
      break;
    }
  }
}

}  // namespace

void RenderExteriorScene(std::int32_t t) {
  SetStandardProjection();

  const int segment = FindSceneSegment(ExteriorSegments, kExteriorSegmentCount, t);
  // The timeline never calls outside the 15 shots; there is then no camera to draw with.
  if (segment == 0) return;
  const std::int32_t u = t - ExteriorSegments[segment - 1].start;

  // Cleared before anything is drawn, so the first frame of shot 6 already has no monk.
  if (segment == kMonkLeavesSegment) MonkVisible = false;

  FillSceneLight(0.95f, 0.5f, 0.75f, D3DVECTOR{50.0f, 300.0f, 300.0f}, 5000.0f);
  ScaleSceneLight(SegmentLightFactor(ExteriorSegments[segment - 1], u));
  SetSceneLight();

  D3DXVECTOR3 eye;
  D3DXVECTOR3 target;
  ExteriorCamera(segment, u, eye, target);
  SetViewMatrix(eye, target);

  MaterialChapel();
  Device->SetTexture(0, SceneTextures[kChapelTexture]);
  DrawMesh(MeshTable[kChapelMesh]);

  if (MonkVisible) {
    MaterialFigure();
    Device->SetTexture(0, SceneTextures[kMonkTexture]);
    DrawMesh(MeshTable[kMonkMesh]);
  }

  MaterialTerrain();
  Device->SetTexture(0, SceneTextures[kTerrainTexture]);
  DrawMesh(MeshTable[kTerrainMesh]);

  MaterialSky();
  Device->SetTexture(0, SceneTextures[kSkyTexture]);
  DrawMesh(MeshTable[kSkyDomeMesh]);

  MaterialTree();
  DrawTrees();
}

// Shot 6 lies in the stretch where the exterior runs on DemoClock itself, so its start is
// also the DemoClock of the first frame without the monk.
void RestoreSceneStateAt(std::int32_t t) {
  MonkVisible = t < ExteriorSegments[kMonkLeavesSegment - 1].start;
}
