// The state records of the device: render states, texture-stage states, transforms,
// lights, material and the bound texture, as plain values that start at Direct3D 8's
// defaults. Set-calls only write here and mark what changed; the draw uploads it.
#pragma once

#include <array>
#include <cstdint>

#include "platform/d3d8/d3d8types.h"

class IDirect3DTexture8;

namespace d3d8 {

inline constexpr DWORD kRenderStateCount = 256;  // ids of Direct3D 8 stay below this
inline constexpr DWORD kTextureStageCount = 8;
inline constexpr DWORD kStageStateCount = 32;
inline constexpr DWORD kMaxLights = 8;

// Values not in d3d8types.h, used only here and in the backend.
inline constexpr DWORD kMaterialSourceMaterial = 0;
inline constexpr DWORD kMaterialSourceColor1 = 1;
inline constexpr DWORD kMaterialSourceColor2 = 2;
inline constexpr DWORD kFillSolid = 3;
inline constexpr DWORD kRenderStateTextureFactor = 60;
inline constexpr DWORD kRenderStateColorWriteEnable = 168;
inline constexpr DWORD kStageMipMapLodBias = 19;

// Texture-stage operations and arguments (D3DTOP_* and D3DTA_*).
inline constexpr DWORD kTopDisable = 1;
inline constexpr DWORD kTopSelectArg1 = 2;
inline constexpr DWORD kTopSelectArg2 = 3;
inline constexpr DWORD kTopModulate = 4;
inline constexpr DWORD kTaSelectMask = 0x0F;
inline constexpr DWORD kTaDiffuse = 0;
inline constexpr DWORD kTaCurrent = 1;
inline constexpr DWORD kTaTexture = 2;

// Which uploads a change calls for. A draw applies the groups that are dirty.
enum DirtyGroup : std::uint32_t {
  kDirtyPipeline = 1u << 0,   // depth, cull, blend, fill: fixed GL state
  kDirtyTransforms = 1u << 1,
  kDirtyLights = 1u << 2,
  kDirtyMaterial = 1u << 3,
  kDirtyShading = 1u << 4,    // lighting switches, colour sources, stage ops, alpha test
  kDirtyTexture = 1u << 5,
  kDirtySampler = 1u << 6,
  kDirtyAll = 0x7F,
};

// Which group a render state or a stage state belongs to (0: none we draw with).
std::uint32_t DirtyGroupOfRenderState(DWORD state);
std::uint32_t DirtyGroupOfStageState(DWORD type);

struct LightRecord {
  D3DLIGHT8 light;
  bool enabled = false;
};

struct DeviceState {
  DeviceState();

  std::array<DWORD, kRenderStateCount> renderStates{};
  std::array<std::array<DWORD, kStageStateCount>, kTextureStageCount> stageStates{};
  D3DMATRIX world;       // identity
  D3DMATRIX view;        // identity
  D3DMATRIX projection;  // identity
  std::array<LightRecord, kMaxLights> lights{};
  D3DMATERIAL8 material;  // all zero
  IDirect3DTexture8* texture0 = nullptr;
  std::uint32_t dirty = kDirtyAll;

  DWORD RenderState(D3DRENDERSTATETYPE state) const { return renderStates[state]; }
  DWORD StageState(D3DTEXTURESTAGESTATETYPE type) const { return stageStates[0][type]; }
};

D3DMATRIX IdentityMatrix();

// a * b with points as row vectors: transforming by the result is a, then b.
D3DMATRIX MultiplyMatrices(const D3DMATRIX& a, const D3DMATRIX& b);

// The eye position a view matrix (rotation and translation) was built from.
D3DVECTOR EyeOfView(const D3DMATRIX& view);

}  // namespace d3d8
