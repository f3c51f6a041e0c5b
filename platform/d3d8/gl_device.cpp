// Placeholder until the OpenGL device lands: a device that cannot be created.
#include "platform/d3d8/gl_device.h"

namespace d3d8 {
std::unique_ptr<RenderDevice> CreateOpenGlDevice() { return nullptr; }
}  // namespace d3d8
