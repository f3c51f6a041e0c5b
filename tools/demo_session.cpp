#include "tools/demo_session.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/app_state.h"
#include "platform/win32/win32.h"
#include "render/assets.h"
#include "render/display_device.h"

namespace orchard {

bool StartDemoSession(std::string_view command, const SessionOptions& options,
                      std::unique_ptr<RenderDevice> device) {
  if (options.root && chdir(options.root->c_str()) != 0) {
    std::fprintf(stderr, "orchard %.*s: cannot enter %s: %s\n", static_cast<int>(command.size()),
                 command.data(), options.root->c_str(), std::strerror(errno));
    return false;
  }
  // Warnings become lines on standard error: a tool never waits for a click.
  win32::SetMessageBoxHandler([](const char* text, const char* caption, UINT) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return IDOK;
  });

  UseRenderDevice(std::move(device));
  DisplaySettings.width = options.width;
  DisplaySettings.height = options.height;
  DisplaySettings.anisotropic = options.anisotropic;
  showFps = options.showFps;
  if (FAILED(InitD3D(DisplaySettings))) {
    std::fprintf(stderr, "orchard %.*s: the rendering device could not be created\n",
                 static_cast<int>(command.size()), command.data());
    return false;
  }
  LoadAssets();
  return true;
}

}  // namespace orchard
