#include "render/scene_state.h"

#include "render/display_device.h"

D3DXMATRIX StandardProjection;
D3DXMATRIX ViewMatrix;
D3DLIGHT8 SceneLight;
D3DMATERIAL8 SceneMaterial;

namespace {

constexpr float kFieldOfView = 0.78539819f;  // pi/4
constexpr float kAspect = 1.3333f;           // the float nearest 1.3333, not 4/3
constexpr float kNearPlane = 1.0f;
constexpr float kFarPlane = 5000.0f;
constexpr int kTreeMeshSlot = 9;

void SetGrey(D3DCOLORVALUE& colour, float value) { colour.r = colour.g = colour.b = value; }

// The presets write r, g, b of three colours, zero emissive and power, and leave the alphas
// as they are: 0 from program start.
void ApplyMaterialPreset(float diffuse, float ambient, float specular) {
  SetGrey(SceneMaterial.Diffuse, diffuse);
  SetGrey(SceneMaterial.Ambient, ambient);
  SetGrey(SceneMaterial.Specular, specular);
  SetGrey(SceneMaterial.Emissive, 0.0f);
  SceneMaterial.Power = 0.0f;
  Device->SetMaterial(&SceneMaterial);
}

void ScaleColour(D3DCOLORVALUE& colour, float factor) {
  colour.r *= factor;
  colour.g *= factor;
  colour.b *= factor;
}

}  // namespace

void SetStandardProjection() {
  D3DXMatrixPerspectiveFovRH(&StandardProjection, kFieldOfView, kAspect, kNearPlane, kFarPlane);
  Device->SetTransform(D3DTS_PROJECTION, &StandardProjection);
}

void SetViewMatrix(const D3DXVECTOR3& eye, const D3DXVECTOR3& target) {
  const D3DXVECTOR3 up{0.0f, 0.0f, 1.0f};
  D3DXMatrixLookAtRH(&ViewMatrix, &eye, &target, &up);
  Device->SetTransform(D3DTS_VIEW, &ViewMatrix);
}

void FillSceneLight(float diffuse, float specular, float ambient, const D3DVECTOR& position,
                    float range) {
  SceneLight = D3DLIGHT8{};
  SceneLight.Type = D3DLIGHT_POINT;
  SetGrey(SceneLight.Diffuse, diffuse);
  SetGrey(SceneLight.Specular, specular);
  SetGrey(SceneLight.Ambient, ambient);
  SceneLight.Position = position;
  SceneLight.Attenuation0 = 1.0f;
  SceneLight.Range = range;
}

void ScaleSceneLight(float factor) {
  ScaleColour(SceneLight.Ambient, factor);
  ScaleColour(SceneLight.Diffuse, factor);
}

void SetSceneLight() {
  Device->SetLight(0, &SceneLight);
  Device->LightEnable(0, TRUE);
}

void MaterialChapel() { ApplyMaterialPreset(0.5f, 0.125f, 0.0f); }
void MaterialSky() { ApplyMaterialPreset(0.95f, 0.75f, 0.0f); }
void MaterialFigure() { ApplyMaterialPreset(0.95f, 0.125f, 0.0f); }
void MaterialInterior() { ApplyMaterialPreset(0.125f, 0.25f, 0.25f); }
void MaterialTerrain() { ApplyMaterialPreset(0.95f, 0.75f, 0.25f); }
void MaterialGate() { ApplyMaterialPreset(0.25f, 0.125f, 0.25f); }
void MaterialTree() { ApplyMaterialPreset(0.25f, 0.5f, 0.25f); }

void DrawMesh(const MeshSlot& slot) {
  for (std::uint32_t subset = 0; subset < slot.subsetCount; ++subset)
    Device->DrawSubset(slot.mesh, subset);
}

void DrawTrees() {
  Device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  Device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  Device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  Device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  // The reference sits in the low 8 bits, so this is 0: every texel passes the test.
  Device->SetRenderState(D3DRS_ALPHAREF, 0x08000000);
  Device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  Device->SetTexture(0, TreeTexture);
  DrawMesh(MeshTable[kTreeMeshSlot]);
  Device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  Device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
}
