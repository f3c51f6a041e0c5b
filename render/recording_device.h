// The recording device: every call becomes one line of the device trace (JSON Lines, one
// object per call, values only), so call sequences can be checked and replayed. Meshes and
// textures are really read, so that a trace says which loads succeed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "render/device.h"

class RecordingDevice final : public RenderDevice {
 public:
  // Each finished line, without its newline, goes to the sink.
  using LineSink = std::function<void(const std::string& line)>;
  explicit RecordingDevice(LineSink sink);

  // Lines that are not device calls: the start of one RenderFrame, and the quit it posts.
  void RecordFrame(std::int32_t t);
  void RecordPostQuitMessage(int code);

  bool Create(UINT sdkVersion) override;
  HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
  HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow,
                       DWORD behaviorFlags, D3DPRESENT_PARAMETERS* parameters,
                       RenderDevice** device) override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
  HRESULT Clear(DWORD rectCount, const RECT* rects, DWORD flags, D3DCOLOR color, float z,
                DWORD stencil) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                  const void* dirtyRegion) override;
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
  HRESULT SetLight(DWORD index, const D3DLIGHT8* light) override;
  HRESULT LightEnable(DWORD index, BOOL enable) override;
  HRESULT SetMaterial(const D3DMATERIAL8* material) override;
  HRESULT SetTexture(DWORD stage, IDirect3DTexture8* texture) override;
  HRESULT D3DXCreateFont(const LOGFONTA& font, ID3DXFont** out) override;
  HRESULT Begin(ID3DXFont* font) override;
  INT DrawTextA(ID3DXFont* font, const char* text, INT count, RECT* rect, DWORD format,
                D3DCOLOR color) override;
  HRESULT End(ID3DXFont* font) override;
  HRESULT D3DXLoadMeshFromX(const char* fileName, DWORD options, ID3DXBuffer** adjacency,
                            ID3DXBuffer** materials, DWORD* materialCount,
                            ID3DXMesh** mesh) override;
  HRESULT DrawSubset(ID3DXMesh* mesh, DWORD attribute) override;
  HRESULT D3DXCreateTextureFromFileExA(const char* fileName, UINT width, UINT height,
                                       UINT mipLevels, DWORD usage, D3DFORMAT format,
                                       D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                       D3DCOLOR colorKey, void* sourceInfo, void* palette,
                                       IDirect3DTexture8** texture) override;

 private:
  class RecordedMesh;
  class RecordedTexture;
  class RecordedFont;

  LineSink sink_;
  bool deviceCreated_ = false;
  std::vector<std::unique_ptr<ID3DXMesh>> meshes_;
  std::vector<std::unique_ptr<IDirect3DTexture8>> textures_;
  std::vector<std::unique_ptr<ID3DXFont>> fonts_;
};
