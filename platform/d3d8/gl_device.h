// The OpenGL 3.3 implementation of the rendering device.
#pragma once

#include <memory>

#include "render/device.h"

namespace d3d8 {

// A device that draws with OpenGL: on the device window when CreateDevice is given one, or
// off-screen (EGL, no display needed) when the window is null.
std::unique_ptr<RenderDevice> CreateOpenGlDevice();

}  // namespace d3d8
