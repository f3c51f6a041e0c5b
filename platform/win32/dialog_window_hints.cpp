#include "platform/win32/dialog_window_hints.h"

#include <SDL_syswm.h>

namespace win32 {

void RequestFrameWithoutCloseBox(SDL_Window* window) {
#if defined(ORCHARD_HAVE_X11) && defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) == SDL_FALSE || info.subsystem != SDL_SYSWM_X11) return;
  // Motif window-manager hints: functions "move" only (no close, resize, minimise or
  // maximise); decorations border and title only (no menu, no buttons).
  constexpr long kFunctionsAndDecorations = (1L << 0) | (1L << 1);
  constexpr long kFunctionMove = 1L << 2;
  constexpr long kDecorBorder = 1L << 1;
  constexpr long kDecorTitle = 1L << 3;
  const long hints[5] = {kFunctionsAndDecorations, kFunctionMove, kDecorBorder | kDecorTitle, 0, 0};
  Display* display = info.info.x11.display;
  const Atom property = XInternAtom(display, "_MOTIF_WM_HINTS", False);
  XChangeProperty(display, info.info.x11.window, property, property, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(hints), 5);
  XFlush(display);
#else
  (void)window;
#endif
}

}  // namespace win32
