// The OpenGL 3.3 implementation of the rendering device.
//
// Set-calls only write the device's state records (Direct3D 8 defaults to start with) and
// mark what changed; a draw uploads what is marked, through a cache that skips GL calls
// which would change nothing. Drawing goes into an off-screen back buffer of exactly the
// presentation size; Present scales it into the window, or does nothing more when the
// device has no window (tools and tests render head-less through EGL).
//
// One device's GL context is made current when the device is created; devices are used
// one at a time on the thread that made them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/d3d8/device_state.h"
#include "platform/d3d8/output_scaling.h"
#include "platform/d3dx/image.h"
#include "platform/d3dx/xfile.h"
#include "render/device.h"

namespace d3d8 {

struct GlBackend;

class OpenGlDevice final : public RenderDevice {
 public:
  OpenGlDevice();
  ~OpenGlDevice() override;
  OpenGlDevice(const OpenGlDevice&) = delete;
  OpenGlDevice& operator=(const OpenGlDevice&) = delete;

  bool Create(UINT sdkVersion) override;
  HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
  HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                       D3DPRESENT_PARAMETERS* parameters, RenderDevice** device) override;
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
                            ID3DXBuffer** materials, DWORD* materialCount, ID3DXMesh** mesh) override;
  HRESULT DrawSubset(ID3DXMesh* mesh, DWORD attribute) override;
  HRESULT D3DXCreateTextureFromFileExA(const char* fileName, UINT width, UINT height, UINT mipLevels,
                                       DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                       DWORD mipFilter, D3DCOLOR colorKey, void* sourceInfo,
                                       void* palette, IDirect3DTexture8** texture) override;

  // ---- for tools and tests --------------------------------------------------------------
  // Objects from data in memory, as the loaders would make them from files; null before
  // CreateDevice or when the data is inconsistent. They live as long as the device.
  ID3DXMesh* CreateMesh(const xfile::Mesh& mesh);
  IDirect3DTexture8* CreateTexture(const std::vector<d3dx::Image>& levels);

  // The back buffer as drawn so far (multisampling resolved), top row first, alpha 255 as
  // an X8R8G8B8 surface reads. False before CreateDevice.
  bool ReadBackBuffer(d3dx::Image& image);
  // Waits until the GL has finished every call made so far.
  void Finish();
  // Number of samples per pixel of the back buffer (0: not multisampled).
  int BackBufferSamples() const;

  // The next Present in a window also copies the window's framebuffer, after the back
  // buffer was scaled into it and before the swap, into *capture (top row first).
  struct DrawableCapture {
    d3dx::Image image;
    bool taken = false;
  };
  void CaptureDrawableAtNextPresent(DrawableCapture* capture);

  // What stage 0 samples with, as GL reports it after the states in force were applied.
  struct SamplerParameters {
    int minFilter = 0, magFilter = 0, wrapS = 0, wrapT = 0;
    float maxAnisotropy = 0;
  };
  SamplerParameters StageZeroSampler();

  // ---- for front ends that ask more of a window than the presentation parameters do ----
  struct OutputPolicy {
    OutputScaling scaling = OutputScaling::Stretch;
    // The back buffer follows the window: it is rendered at RenderSizeFor(scaling, drawable)
    // and made again at the next Present after the drawable changes size (a resized window,
    // full screen toggled, another screen's pixel density), instead of keeping the size of
    // the presentation parameters.
    bool followDrawable = false;
    std::optional<bool> vsync;  // unset: full screen waits for the retrace, a window does not
    // Samples per pixel, 0 for none, in place of the presentation parameters' choice; more
    // than the driver offers gives what it offers. Unset: as the parameters say.
    std::optional<int> samples;
    // Called when the frame is in the window and only the swap is left: a front end's frame
    // pacer holds the frame back there until its moment.
    std::function<void()> beforeSwap;
  };
  // Takes effect at CreateDevice.
  void SetOutputPolicy(const OutputPolicy& policy) { policy_ = policy; }
  // The size of the window's default framebuffer in pixels; the back buffer's size without
  // a window. 0 x 0 before CreateDevice.
  void OutputSize(int& width, int& height) const;
  int BackBufferWidth() const;
  int BackBufferHeight() const;

 private:
  // The device exists and its context is current.
  bool Ready();
  void ApplyDrawState();
  void ApplyPipeline();
  void ApplySampler();
  // Gives the back buffer a new size, samples and depth kept; the device state is applied
  // again at the next draw.
  bool ResizeBackBuffer(int width, int height);
  void FollowDrawable();

  OutputPolicy policy_;
  bool direct3dCreated_ = false;
  bool inScene_ = false;
  DeviceState state_;
  std::unique_ptr<GlBackend> gl_;  // null until CreateDevice succeeds
  // Objects of the device; destroyed before the backend, whose context they need.
  std::vector<std::unique_ptr<ID3DXMesh>> meshes_;
  std::vector<std::unique_ptr<IDirect3DTexture8>> textures_;
  std::vector<std::unique_ptr<ID3DXFont>> fonts_;
};

// A device that draws with OpenGL: on the device window when CreateDevice is given one, or
// off-screen (EGL, no display needed) when the window is null.
std::unique_ptr<RenderDevice> CreateOpenGlDevice();

}  // namespace d3d8
