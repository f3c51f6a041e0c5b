#include "render/display_device.h"

RenderDevice* Direct3D = nullptr;
RenderDevice* Device = nullptr;
ID3DXFont* FpsFont = nullptr;

namespace {

D3DPRESENT_PARAMETERS PresentationParameters(const DisplaySettingsRecord& settings,
                                             D3DFORMAT displayFormat) {
  D3DPRESENT_PARAMETERS parameters;
  parameters.BackBufferWidth = static_cast<UINT>(settings.width);
  parameters.BackBufferHeight = static_cast<UINT>(settings.height);
  parameters.BackBufferFormat = displayFormat;
  parameters.BackBufferCount = 1;
  // Antialiasing only in full screen: in a window the check box has no effect.
  parameters.MultiSampleType = settings.fsaa && settings.fullscreen ? D3DMULTISAMPLE_2_SAMPLES
                                                                    : D3DMULTISAMPLE_NONE;
  parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  parameters.hDeviceWindow = MainWindow;
  parameters.Windowed = settings.fullscreen ? FALSE : TRUE;
  parameters.EnableAutoDepthStencil = TRUE;
  parameters.AutoDepthStencilFormat = D3DFMT_D16;
  parameters.Flags = 0;
  parameters.FullScreen_RefreshRateInHz = settings.fullscreen ? 85 : 0;
  parameters.FullScreen_PresentationInterval = 0;
  return parameters;
}

void SetStageZeroFiltering(bool anisotropic) {
  const DWORD filter = anisotropic ? D3DTEXF_ANISOTROPIC : D3DTEXF_LINEAR;
  Device->SetTextureStageState(0, D3DTSS_MAGFILTER, filter);
  Device->SetTextureStageState(0, D3DTSS_MINFILTER, filter);
  Device->SetTextureStageState(0, D3DTSS_MIPFILTER, filter);
  if (anisotropic) Device->SetTextureStageState(0, D3DTSS_MAXANISOTROPY, 2);
}

}  // namespace

HRESULT InitD3D(DisplaySettingsRecord settings) {
  Direct3D = Direct3DCreate8(D3D_SDK_VERSION);
  if (Direct3D == nullptr) return E_FAIL;

  D3DDISPLAYMODE displayMode;
  if (FAILED(Direct3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &displayMode))) return E_FAIL;

  D3DPRESENT_PARAMETERS parameters = PresentationParameters(settings, displayMode.Format);
  RenderDevice* device = nullptr;
  if (FAILED(Direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, MainWindow,
                                    D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters,
                                    &device)))
    return E_FAIL;
  Device = device;

  Device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);  // both faces of every triangle
  Device->SetRenderState(D3DRS_LIGHTING, TRUE);
  Device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  SetStageZeroFiltering(settings.anisotropic);

  HFONT font = CreateFontA(-14, 0, 0, 0, FW_LIGHT, FALSE, FALSE, FALSE, ANSI_CHARSET,
                           OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, 0, "Arial");
  if (const LOGFONTA* description = win32::FontDescription(font))
    Device->D3DXCreateFont(*description, &FpsFont);
  return S_OK;
}
