// The window of `orchard play`: a sizeable window whose client area is the size asked, or
// the whole desktop without a mode switch, and the keys that steer playback.
#pragma once

#include "platform/win32/win32.h"

namespace orchard {

// What the keys asked for since the last look.
struct PlayerInput {
  bool togglePause = false;  // Space
  int seekSteps = 0;         // Right +1, Left -1, each press (and each key repeat)
  bool toggleFullscreen = false;  // F
  bool quit = false;         // Esc, the close box
};

// Creates and shows the window; null after a line on standard error.
HWND CreatePlayerWindow(int clientWidth, int clientHeight, bool fullscreen);

// The input gathered by the window's procedure, which is then cleared.
PlayerInput TakePlayerInput();

}  // namespace orchard
