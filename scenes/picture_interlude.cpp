// The still pictures between the scenes: mesh 10 carries the picture as its texture, seen by a
// fixed camera; only the light fades it in and out.
#include "render/display_device.h"
#include "render/scene_state.h"
#include "scenes/scenes.h"

namespace {

constexpr int kPictureMesh = 10;

// f = t / fade on the way in, 1 in the middle, and from duration - fade on down to 0 at
// duration, the fade-out winning where both apply. Not clamped: the timeline never passes a
// t at or beyond the duration.
float PictureLightFactor(std::int32_t t, std::int32_t duration, std::int32_t fade) {
  float f = 1.0f;
  if (t <= fade) f = static_cast<float>(t) / static_cast<float>(fade);
  if (t >= duration - fade)
    f = 1.0f - static_cast<float>(t - (duration - fade)) / static_cast<float>(fade);
  return f;
}

}  // namespace

void RenderPicture(std::int32_t t, int picture, std::int32_t duration, std::int32_t fade) {
  SetStandardProjection();
  // There are three pictures, and a fade of no length would divide by zero; the timeline
  // passes neither, and such a call draws nothing.
  if (picture < 1 || picture > kPictureCount || fade <= 0) return;

  const float f = PictureLightFactor(t, duration, fade);
  FillSceneLight(f, 1.0f, f, D3DVECTOR{0.0f, 250.0f, 250.0f}, 500.0f);
  SetSceneLight();

  // A material of its own, for this call only; its alphas are 0 like the presets'.
  D3DMATERIAL8 material{};
  material.Diffuse = {0.95f, 0.95f, 0.95f, 0.0f};
  material.Ambient = {0.95f, 0.95f, 0.95f, 0.0f};
  material.Specular = {0.25f, 0.25f, 0.25f, 0.0f};
  Device->SetMaterial(&material);

  SetViewMatrix(D3DXVECTOR3{0.0f, 60.3f, 0.0f}, D3DXVECTOR3{0.0f, 0.0f, 0.0f});

  Device->SetTexture(0, PictureTextures[picture]);
  DrawMesh(MeshTable[kPictureMesh]);
}
