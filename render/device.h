// The rendering device: the Direct3D 8 and D3DX operations the demo relies on, as one
// interface with their Direct3D names. Two implementations stand behind it: the OpenGL
// device of the platform layer, which draws, and the recording device, which writes every
// call as one line of the device trace.
//
// Objects (meshes, textures, fonts) are made by the device and live as long as it does; the
// demo holds plain pointers to them and never releases anything, as the original did.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/d3d8/d3d8types.h"
#include "platform/d3dx/buffer.h"
#include "platform/win32/win32.h"

// Device objects, opaque to the demo. Each implementation derives its own.
class IDirect3DTexture8 {
 public:
  virtual ~IDirect3DTexture8() = default;
};

class ID3DXMesh {
 public:
  virtual ~ID3DXMesh() = default;
};

class ID3DXFont {
 public:
  virtual ~ID3DXFont() = default;
};

class RenderDevice {
 public:
  virtual ~RenderDevice() = default;

  // ---- the Direct3D object -------------------------------------------------------------
  // The implementation's part of Direct3DCreate8: false when no Direct3D object can be had.
  virtual bool Create(UINT sdkVersion) = 0;
  virtual HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) = 0;
  // On success *device is this object, now a device on the window.
  virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow,
                               DWORD behaviorFlags, D3DPRESENT_PARAMETERS* parameters,
                               RenderDevice** device) = 0;

  // ---- the device ----------------------------------------------------------------------
  virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
  virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                       DWORD value) = 0;
  virtual HRESULT Clear(DWORD rectCount, const RECT* rects, DWORD flags, D3DCOLOR color,
                        float z, DWORD stencil) = 0;
  virtual HRESULT BeginScene() = 0;
  virtual HRESULT EndScene() = 0;
  virtual HRESULT Present(const RECT* sourceRect, const RECT* destRect,
                          HWND destWindowOverride, const void* dirtyRegion) = 0;
  virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
  virtual HRESULT SetLight(DWORD index, const D3DLIGHT8* light) = 0;
  virtual HRESULT LightEnable(DWORD index, BOOL enable) = 0;
  virtual HRESULT SetMaterial(const D3DMATERIAL8* material) = 0;
  virtual HRESULT SetTexture(DWORD stage, IDirect3DTexture8* texture) = 0;

  // ---- D3DX ----------------------------------------------------------------------------
  // D3DXCreateFont(device, GDI font): the font is the description CreateFontA recorded.
  virtual HRESULT D3DXCreateFont(const LOGFONTA& font, ID3DXFont** out) = 0;
  // ID3DXFont::Begin, DrawTextA and End. DrawTextA returns the height of the text.
  virtual HRESULT Begin(ID3DXFont* font) = 0;
  virtual INT DrawTextA(ID3DXFont* font, const char* text, INT count, RECT* rect,
                        DWORD format, D3DCOLOR color) = 0;
  virtual HRESULT End(ID3DXFont* font) = 0;

  virtual HRESULT D3DXLoadMeshFromX(const char* fileName, DWORD options,
                                    ID3DXBuffer** adjacency, ID3DXBuffer** materials,
                                    DWORD* materialCount, ID3DXMesh** mesh) = 0;
  // ID3DXMesh::DrawSubset: draws the faces of one attribute with the state in force.
  virtual HRESULT DrawSubset(ID3DXMesh* mesh, DWORD attribute) = 0;

  virtual HRESULT D3DXCreateTextureFromFileExA(const char* fileName, UINT width, UINT height,
                                               UINT mipLevels, DWORD usage, D3DFORMAT format,
                                               D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                               D3DCOLOR colorKey, void* sourceInfo,
                                               void* palette, IDirect3DTexture8** texture) = 0;
};

// Which implementation Direct3DCreate8 hands out is chosen once, by the program or a tool,
// before the demo starts.
void UseRenderDevice(std::unique_ptr<RenderDevice> device);

// Direct3DCreate8: the chosen implementation as the Direct3D object, or null when none is
// chosen or it cannot start.
RenderDevice* Direct3DCreate8(UINT sdkVersion);
