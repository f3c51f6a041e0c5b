#include "render/device.h"

namespace {

// The one implementation of this process, kept alive until the process ends.
std::unique_ptr<RenderDevice>& ChosenDevice() {
  static std::unique_ptr<RenderDevice> device;
  return device;
}

}  // namespace

void UseRenderDevice(std::unique_ptr<RenderDevice> device) { ChosenDevice() = std::move(device); }

RenderDevice* Direct3DCreate8(UINT sdkVersion) {
  RenderDevice* device = ChosenDevice().get();
  if (device == nullptr || !device->Create(sdkVersion)) return nullptr;
  return device;
}
