// The display device: the Direct3D object, the device on the main window with its fixed
// render states and texture filtering, and the font of the frame-rate text.
#pragma once

#include "app/app_state.h"
#include "render/device.h"

extern RenderDevice* Direct3D;  // InitD3D: the Direct3D object
extern RenderDevice* Device;    // InitD3D: the device; null until it has been created
extern ID3DXFont* FpsFont;      // InitD3D: the frame-rate text font

// 0 on success, E_FAIL when the Direct3D object, the display mode or the device cannot be
// had. Nothing is tested beforehand: a device the hardware cannot make simply fails.
HRESULT InitD3D(DisplaySettingsRecord settings);
