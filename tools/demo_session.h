// What every rendering command of the orchard tool does before its first frame: go to the
// data root, send warnings to standard error instead of boxes, and start the demo's device
// and assets on the device the command chose.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "render/device.h"

namespace orchard {

// The demo's music, as its program names it.
inline constexpr const char* kDemoMusicFile = "Data\\user@example.com3";

struct SessionOptions {
  std::optional<std::string> root;  // where "Data\..." names resolve; default: here
  int width = 800;
  int height = 600;
  bool showFps = false;
  bool anisotropic = false;  // the settings dialog's check box
};

// Runs InitD3D and LoadAssets on `device`. On failure prints "orchard COMMAND: ..." and
// returns false.
bool StartDemoSession(std::string_view command, const SessionOptions& options,
                      std::unique_ptr<RenderDevice> device);

}  // namespace orchard
