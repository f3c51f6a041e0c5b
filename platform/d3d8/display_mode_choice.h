// The full-screen display mode a device asks for: exactly the back-buffer size, at the
// refresh rate the presentation parameters name when the display offers it, otherwise at
// the display's rate nearest to it. Direct3D would fail the device instead; on today's
// 60 Hz displays that would make every full-screen choice fail at the 85 Hz asked for.
#pragma once

#include <optional>
#include <span>

namespace d3d8 {

struct DisplayModeInfo {
  int width = 0;
  int height = 0;
  int refreshRate = 0;  // Hz; 0 when the display does not say
  int index = 0;        // the display's own number for the mode
};

// Empty when no mode has the size. A wanted rate of 0 takes the first mode of the size
// (the display lists its preferred one first).
std::optional<DisplayModeInfo> ChooseFullscreenMode(std::span<const DisplayModeInfo> modes, int width,
                                                    int height, int wantedRefreshRate);

}  // namespace d3d8
