// The last 34 seconds: the gate inside the second sky dome. The camera trails its target
// along -y, circles it once on the way and finally rises; the light fades in over the first
// 7 s and out over the last 4.
#include <cmath>

#include "render/display_device.h"
#include "render/scene_state.h"
#include "scenes/scene_segments.h"
#include "scenes/scenes.h"

namespace {

constexpr int kGateMesh = 7;
constexpr int kSkyDomeMesh = 8;
constexpr int kGateTexture = 6;
constexpr int kHeavenTexture = 7;

float FinaleLightFactor(std::int32_t t) {
  float f = 1.0f;
  if (t <= 7000) f = t * 0.00014285714f;
  if (t >= 30000) {
    f = 1.0f - (t - 30000) * 0.00025f;
    if (f < 0.0f) f = 0.0f;
  }
  return f;
}

void FinaleCamera(std::int32_t t, D3DXVECTOR3& eye, D3DXVECTOR3& target) {
  const float y0 = 500.0f - t * 0.033898305f;

  // Six units behind the target, except for one counter-clockwise turn around it that starts
  // and ends at 90 degrees, where it meets the straight path without a jump.
  float eyeX = 0.0f;
  float eyeY = y0 + 6.0f;
  if (t >= 10000 && t < 24400) {
    const float theta = ((t - 10000) * 0.025f + 90.0f) * kRadiansPerDegree;
    eyeX = 6.0f * std::cos(theta);
    eyeY = y0 + 6.0f * std::sin(theta);
  }

  // The rise is computed in double precision, then stored as a float.
  float z = 5.0f;
  if (t > 29000) z = static_cast<float>(5.0 + (t - 29000) * 0.022222222222222223);

  eye = {eyeX, eyeY, z};
  target = {0.0f, y0, z};
}

}  // namespace

void RenderFinale(std::int32_t t) {
  SetStandardProjection();

  FillSceneLight(0.95f, 0.5f, 0.75f, D3DVECTOR{50.0f, 300.0f, 300.0f}, 5000.0f);
  ScaleSceneLight(FinaleLightFactor(t));
  SetSceneLight();

  D3DXVECTOR3 eye;
  D3DXVECTOR3 target;
  FinaleCamera(t, eye, target);
  SetViewMatrix(eye, target);

  MaterialGate();
  Device->SetTexture(0, SceneTextures[kGateTexture]);
  DrawMesh(MeshTable[kGateMesh]);

  MaterialSky();
  Device->SetTexture(0, SceneTextures[kHeavenTexture]);
  DrawMesh(MeshTable[kSkyDomeMesh]);
}
