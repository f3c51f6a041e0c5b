// quiet-orchard: the demo. It reads no command line; the data is found under Data/ in the
// current working directory.
#include <memory>

#include "app/win_main.h"
#include "platform/d3d8/gl_device.h"
#include "render/device.h"
#include "resources/program_resources.h"

int main() {
  resources::RegisterProgramResources();
  UseRenderDevice(d3d8::CreateOpenGlDevice());
  return WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOW);
}
