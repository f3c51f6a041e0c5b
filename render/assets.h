// The asset catalogue: eleven meshes and twelve images under fixed slot numbers, loaded
// once at start-up. A file that fails costs one warning and leaves its slot empty.
#pragma once

#include <cstdint>

#include "render/device.h"

struct MeshSlot {
  ID3DXMesh* mesh = nullptr;    // empty until loaded
  std::uint32_t subsetCount = 0;  // the loader's material count; subsets 0..count-1
};

inline constexpr int kMeshCount = 11;
inline constexpr int kSceneTextureCount = 8;
inline constexpr int kPictureCount = 3;
inline constexpr int kAssetNameLength = 100;  // 99 characters and the terminating zero

// The 22 names: meshes 0-10, scene textures 11-18, pictures 19-21.
extern const char AssetNames[22][kAssetNameLength];
extern const char TreeTextureName[];

extern MeshSlot MeshTable[kMeshCount];                           // LoadAssets
extern IDirect3DTexture8* SceneTextures[kSceneTextureCount];     // LoadAssets
extern IDirect3DTexture8* PictureTextures[kPictureCount + 1];    // LoadAssets; 1 to 3
extern IDirect3DTexture8* TreeTexture;                           // LoadAssets

// Loads every mesh and image in slot order; always true.
bool LoadAssets();
