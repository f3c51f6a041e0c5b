#include "render/recording_device.h"

#include "platform/d3dx/image.h"
#include "platform/d3dx/material_buffer.h"
#include "platform/d3dx/xfile.h"
#include "platform/win32/path.h"
#include "render/trace_line.h"

// Recorded objects remember the name they were loaded from: the trace names meshes and
// textures by file, exactly as the catalogue stores them.
class RecordingDevice::RecordedMesh final : public ID3DXMesh {
 public:
  explicit RecordedMesh(std::string file) : file(std::move(file)) {}
  std::string file;
};

class RecordingDevice::RecordedTexture final : public IDirect3DTexture8 {
 public:
  explicit RecordedTexture(std::string file) : file(std::move(file)) {}
  std::string file;
};

class RecordingDevice::RecordedFont final : public ID3DXFont {};

namespace {

std::span<const float> Colour4(const D3DCOLORVALUE& colour) { return {&colour.r, 4}; }
std::span<const float> Vector3(const D3DVECTOR& vector) { return {&vector.x, 3}; }

}  // namespace

RecordingDevice::RecordingDevice(LineSink sink) : sink_(std::move(sink)) {}

void RecordingDevice::RecordFrame(std::int32_t t) { sink_(TraceLine("Frame").Int("t", t).Text()); }

void RecordingDevice::RecordPostQuitMessage(int code) {
  sink_(TraceLine("PostQuitMessage").Int("code", code).Text());
}

bool RecordingDevice::Create(UINT sdkVersion) { return sdkVersion == D3D_SDK_VERSION; }

HRESULT RecordingDevice::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
  if (adapter != D3DADAPTER_DEFAULT || mode == nullptr) return E_FAIL;
  // A fixed desktop, so that traces are the same on every machine.
  *mode = D3DDISPLAYMODE{1024, 768, 60, D3DFMT_X8R8G8B8};
  return S_OK;
}

HRESULT RecordingDevice::CreateDevice(UINT, D3DDEVTYPE, HWND, DWORD behaviorFlags,
                                      D3DPRESENT_PARAMETERS* parameters,
                                      RenderDevice** device) {
  if (parameters == nullptr || device == nullptr) return E_FAIL;
  sink_(TraceLine("CreateDevice")
            .Int("width", parameters->BackBufferWidth)
            .Int("height", parameters->BackBufferHeight)
            .Int("windowed", parameters->Windowed)
            .Int("backBufferCount", parameters->BackBufferCount)
            .Int("multiSample", parameters->MultiSampleType)
            .Int("swapEffect", parameters->SwapEffect)
            .Int("depthFormat", parameters->AutoDepthStencilFormat)
            .Int("refresh", parameters->FullScreen_RefreshRateInHz)
            .Int("behavior", behaviorFlags)
            .Text());
  deviceCreated_ = true;
  *device = this;
  return S_OK;
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  sink_(TraceLine("SetRenderState").Int("state", state).Int("value", value).Text());
  return S_OK;
}

HRESULT RecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                              DWORD value) {
  sink_(TraceLine("SetTextureStageState")
            .Int("stage", stage)
            .Int("type", type)
            .Int("value", value)
            .Text());
  return S_OK;
}

HRESULT RecordingDevice::Clear(DWORD, const RECT*, DWORD flags, D3DCOLOR color, float z,
                               DWORD stencil) {
  sink_(TraceLine("Clear")
            .Int("flags", flags)
            .Colour("color", color)
            .Float("z", z)
            .Int("stencil", stencil)
            .Text());
  return S_OK;
}

HRESULT RecordingDevice::BeginScene() {
  sink_(TraceLine("BeginScene").Text());
  return S_OK;
}

HRESULT RecordingDevice::EndScene() {
  sink_(TraceLine("EndScene").Text());
  return S_OK;
}

HRESULT RecordingDevice::Present(const RECT*, const RECT*, HWND, const void*) {
  sink_(TraceLine("Present").Text());
  return S_OK;
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  if (matrix == nullptr) return E_FAIL;
  sink_(TraceLine("SetTransform")
            .Int("state", state)
            .Floats("m", std::span<const float>(&matrix->m[0][0], 16))
            .Text());
  return S_OK;
}

HRESULT RecordingDevice::SetLight(DWORD index, const D3DLIGHT8* light) {
  if (light == nullptr) return E_FAIL;
  sink_(TraceLine("SetLight")
            .Int("index", index)
            .Int("type", light->Type)
            .Floats("diffuse", Colour4(light->Diffuse))
            .Floats("specular", Colour4(light->Specular))
            .Floats("ambient", Colour4(light->Ambient))
            .Floats("position", Vector3(light->Position))
            .Floats("direction", Vector3(light->Direction))
            .Float("range", light->Range)
            .Float("falloff", light->Falloff)
            .Floats("attenuation", {light->Attenuation0, light->Attenuation1, light->Attenuation2})
            .Float("theta", light->Theta)
            .Float("phi", light->Phi)
            .Text());
  return S_OK;
}

HRESULT RecordingDevice::LightEnable(DWORD index, BOOL enable) {
  sink_(TraceLine("LightEnable").Int("index", index).Int("enable", enable != FALSE).Text());
  return S_OK;
}

HRESULT RecordingDevice::SetMaterial(const D3DMATERIAL8* material) {
  if (material == nullptr) return E_FAIL;
  sink_(TraceLine("SetMaterial")
            .Floats("diffuse", Colour4(material->Diffuse))
            .Floats("ambient", Colour4(material->Ambient))
            .Floats("specular", Colour4(material->Specular))
            .Floats("emissive", Colour4(material->Emissive))
            .Float("power", material->Power)
            .Text());
  return S_OK;
}

HRESULT RecordingDevice::SetTexture(DWORD stage, IDirect3DTexture8* texture) {
  const auto* recorded = static_cast<RecordedTexture*>(texture);
  sink_(TraceLine("SetTexture")
            .Int("stage", stage)
            .String("texture", recorded != nullptr ? recorded->file.c_str() : nullptr)
            .Text());
  return S_OK;
}

HRESULT RecordingDevice::D3DXCreateFont(const LOGFONTA& font, ID3DXFont** out) {
  if (out == nullptr) return E_FAIL;
  sink_(TraceLine("CreateFont")
            .Int("height", font.lfHeight)
            .Int("weight", font.lfWeight)
            .String("face", font.lfFaceName)
            .Text());
  fonts_.push_back(std::make_unique<RecordedFont>());
  *out = fonts_.back().get();
  return S_OK;
}

// Begin and End carry no state a renderer needs, so they make no line of their own.
HRESULT RecordingDevice::Begin(ID3DXFont*) { return S_OK; }
HRESULT RecordingDevice::End(ID3DXFont*) { return S_OK; }

INT RecordingDevice::DrawTextA(ID3DXFont* font, const char* text, INT count, RECT* rect,
                               DWORD format, D3DCOLOR color) {
  if (font == nullptr || text == nullptr || rect == nullptr) return 0;
  const std::string shown = count < 0 ? std::string(text) : std::string(text, static_cast<std::size_t>(count));
  sink_(TraceLine("DrawText")
            .String("text", shown.c_str())
            .Ints("rect", {rect->left, rect->top, rect->right, rect->bottom})
            .Int("format", format)
            .Colour("color", color)
            .Text());
  return 14;  // the height of one line of the frame-rate font
}

HRESULT RecordingDevice::D3DXLoadMeshFromX(const char* fileName, DWORD options, ID3DXBuffer**,
                                           ID3DXBuffer** materials, DWORD* materialCount,
                                           ID3DXMesh** mesh) {
  if (fileName == nullptr || mesh == nullptr) return E_FAIL;
  xfile::ReadResult result = xfile::ReadMeshFile(win32::ResolveFileName(fileName));
  const bool ok = result.mesh.has_value();
  const auto subsets = ok ? static_cast<DWORD>(result.mesh->subsets.size()) : 0;
  sink_(TraceLine("LoadMesh")
            .String("file", fileName)
            .Int("options", options)
            .Int("ok", ok)
            .Int("subsets", subsets)
            .Text());
  if (!ok) return E_FAIL;
  meshes_.push_back(std::make_unique<RecordedMesh>(fileName));
  *mesh = meshes_.back().get();
  if (materialCount != nullptr) *materialCount = subsets;
  if (materials != nullptr) *materials = d3dx::MakeMaterialBuffer(*result.mesh);
  return S_OK;
}

HRESULT RecordingDevice::DrawSubset(ID3DXMesh* mesh, DWORD attribute) {
  const auto* recorded = static_cast<RecordedMesh*>(mesh);
  sink_(TraceLine("DrawSubset")
            .String("mesh", recorded != nullptr ? recorded->file.c_str() : nullptr)
            .Int("subset", attribute)
            .Text());
  return S_OK;
}

HRESULT RecordingDevice::D3DXCreateTextureFromFileExA(const char* fileName, UINT, UINT, UINT,
                                                      DWORD, D3DFORMAT, D3DPOOL, DWORD filter,
                                                      DWORD mipFilter, D3DCOLOR colorKey, void*,
                                                      void*, IDirect3DTexture8** texture) {
  if (fileName == nullptr || texture == nullptr) return E_FAIL;
  const bool ok = d3dx::DecodeJpegFile(win32::ResolveFileName(fileName)).image.has_value();
  sink_(TraceLine("LoadTexture")
            .String("file", fileName)
            .Int("filter", filter)
            .Int("mipFilter", mipFilter)
            .Colour("colorKey", colorKey)
            .Int("ok", ok)
            .Text());
  if (!ok) return E_FAIL;
  textures_.push_back(std::make_unique<RecordedTexture>(fileName));
  *texture = textures_.back().get();
  return S_OK;
}
