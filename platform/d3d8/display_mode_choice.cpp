#include "platform/d3d8/display_mode_choice.h"

#include <cstdlib>

namespace d3d8 {

std::optional<DisplayModeInfo> ChooseFullscreenMode(std::span<const DisplayModeInfo> modes, int width,
                                                    int height, int wantedRefreshRate) {
  std::optional<DisplayModeInfo> best;
  for (const DisplayModeInfo& mode : modes) {
    if (mode.width != width || mode.height != height) continue;
    if (wantedRefreshRate == 0) return mode;
    // Nearest rate; between two equally near ones the higher, which flickers less.
    if (!best) {
      best = mode;
      continue;
    }
    const int distance = std::abs(mode.refreshRate - wantedRefreshRate);
    const int bestDistance = std::abs(best->refreshRate - wantedRefreshRate);
    if (distance < bestDistance || (distance == bestDistance && mode.refreshRate > best->refreshRate))
      best = mode;
  }
  return best;
}

}  // namespace d3d8
