// Asks the window manager for a dialog frame without a window menu or close box, which is
// what a dialog without WS_SYSMENU looks like. Window managers that ignore the request
// still draw their own buttons; closing then arrives as WM_CLOSE.
#pragma once

#include <SDL.h>

namespace win32 {

void RequestFrameWithoutCloseBox(SDL_Window* window);

}  // namespace win32
