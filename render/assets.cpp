#include "render/assets.h"

#include "render/display_device.h"

const char AssetNames[22][kAssetNameLength] = {
    "Data\\kapelle_innen.x",   "Data\\jesus.x",          "Data\\woman.x",
    "Data\\kapelle.x",         "Data\\moench.x",         "Data\\terrain.x",
    "Data\\skydome.x",         "Data\\heavensgate.x",    "Data\\skydome2.x",
    "Data\\tree.x",            "Data\\picture.x",        "Data\\kapelle_gesamt2.jpg",
    "Data\\jesus.jpg",         "Data\\woman.jpg",        "Data\\moench.jpg",
    "Data\\terrain2.jpg",      "Data\\sky.jpg",          "Data\\heavensgate.jpg",
    "Data\\heaven.jpg",        "Data\\pic_sentry.jpg",   "Data\\pic_waiting.jpg",
    "Data\\pic_greetings.jpg",
};
const char TreeTextureName[] = "Data\\Treemaps.jpg";

MeshSlot MeshTable[kMeshCount];
IDirect3DTexture8* SceneTextures[kSceneTextureCount];
IDirect3DTexture8* PictureTextures[kPictureCount + 1];
IDirect3DTexture8* TreeTexture = nullptr;

namespace {

constexpr int kFirstSceneTextureName = 11;
constexpr int kFirstPictureName = 19;

// One text buffer for every message; the longest is 23 characters and a 99-character name.
char MessageText[23 + kAssetNameLength];

void ShowLoadWarning(const char* format, const char* fileName) {
  wsprintfA(MessageText, format, fileName);
  MessageBoxA(nullptr, MessageText, "ERROR", MB_ICONWARNING);
}

void LoadMesh(int slot) {
  const char* name = AssetNames[slot];
  ID3DXBuffer* materials = nullptr;
  DWORD materialCount = 0;
  ID3DXMesh* mesh = nullptr;
  if (FAILED(Device->D3DXLoadMeshFromX(name, D3DXMESH_SYSTEMMEM, nullptr, &materials,
                                       &materialCount, &mesh))) {
    ShowLoadWarning("Error loading 3DModel: %s", name);
    return;
  }
  // The materials and texture names of the file are not used: only the count is kept.
  materials->GetBufferPointer();
  materials->Release();
  MeshTable[slot].mesh = mesh;
  MeshTable[slot].subsetCount = materialCount;
}

void LoadTexture(const char* name, DWORD filter, D3DCOLOR colorKey, IDirect3DTexture8** slot) {
  if (FAILED(Device->D3DXCreateTextureFromFileExA(name, 0, 0, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                                  D3DPOOL_DEFAULT, filter, filter, colorKey,
                                                  nullptr, nullptr, slot))) {
    *slot = nullptr;
    ShowLoadWarning("Error loading Texture: %s", name);
  }
}

}  // namespace

bool LoadAssets() {
  for (int slot = 0; slot < kMeshCount; ++slot) LoadMesh(slot);
  for (int slot = 0; slot < kSceneTextureCount; ++slot)
    LoadTexture(AssetNames[kFirstSceneTextureName + slot], D3DX_FILTER_TRIANGLE, 0,
                &SceneTextures[slot]);
  for (int picture = 1; picture <= kPictureCount; ++picture)
    LoadTexture(AssetNames[kFirstPictureName + picture - 1], D3DX_FILTER_LINEAR, 0,
                &PictureTextures[picture]);
  // Opaque black becomes transparent black: the trees rely on it.
  LoadTexture(TreeTextureName, D3DX_FILTER_TRIANGLE, 0xFF000000, &TreeTexture);
  return true;
}
