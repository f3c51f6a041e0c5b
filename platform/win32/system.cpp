// System services: the tick count, the cursor, the display mode, message boxes, wsprintfA.
#include <time.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win32/internal.h"

namespace win32 {

namespace {

MessageBoxHandler& BoxHandler() {
  static MessageBoxHandler handler;
  return handler;
}

// Automation (tests under Xvfb, batch runs) can ask for the texts on standard error instead
// of boxes that wait for a click.
bool BoxesGoToStandardError() {
  const char* mode = std::getenv("ORCHARD_MESSAGEBOX");
  return mode != nullptr && std::strcmp(mode, "stderr") == 0;
}

}  // namespace

void SetMessageBoxHandler(MessageBoxHandler handler) { BoxHandler() = std::move(handler); }

}  // namespace win32

using namespace win32;

DWORD GetTickCount() {
  // Milliseconds since boot, cut to 32 bits: it wraps after about 49.7 days, as on Windows.
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                  static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<DWORD>(ms);
}

int ShowCursor(BOOL show) {
  auto& state = State();
  state.cursorCount += show != FALSE ? 1 : -1;
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0 || EnsureVideo())
    SDL_ShowCursor(state.cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
  return state.cursorCount;
}

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
  auto& state = State();
  if (mode == nullptr) {
    state.fullscreenMode.reset();
    return DISP_CHANGE_SUCCESSFUL;
  }
  if ((flags & CDS_FULLSCREEN) == 0 || (mode->dmFields & (DM_PELSWIDTH | DM_PELSHEIGHT)) == 0)
    return DISP_CHANGE_FAILED;
  // SDL changes the mode for a full-screen window only, so the request is kept and carried
  // out when the pop-up window is created; SDL restores the desktop mode when the window
  // goes or the process ends.
  DisplayModeRequest request;
  request.width = static_cast<int>(mode->dmPelsWidth);
  request.height = static_cast<int>(mode->dmPelsHeight);
  if ((mode->dmFields & DM_BITSPERPEL) != 0) request.bitsPerPixel = static_cast<int>(mode->dmBitsPerPel);
  state.fullscreenMode = request;

  if (!EnsureVideo()) return DISP_CHANGE_FAILED;
  for (int i = 0, n = SDL_GetNumDisplayModes(0); i < n; ++i) {
    SDL_DisplayMode available{};
    if (SDL_GetDisplayMode(0, i, &available) == 0 && available.w == request.width &&
        available.h == request.height)
      return DISP_CHANGE_SUCCESSFUL;
  }
  return DISP_CHANGE_FAILED;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  const char* body = text != nullptr ? text : "";
  const char* title = caption != nullptr ? caption : "Error";
  if (BoxHandler()) return BoxHandler()(body, title, type);

  if (!BoxesGoToStandardError() && EnsureVideo()) {
    SDL_MessageBoxButtonData ok{};
    ok.flags = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    ok.buttonid = IDOK;
    ok.text = "OK";
    SDL_MessageBoxData box{};
    box.flags = (type & MB_ICONWARNING) == MB_ICONWARNING ? SDL_MESSAGEBOX_WARNING : 0;
    box.window = nullptr;  // no owner window, as the demo asks
    (void)owner;
    box.title = title;
    box.message = body;
    box.numbuttons = 1;
    box.buttons = &ok;
    int pressed = 0;
    if (SDL_ShowMessageBox(&box, &pressed) == 0) return IDOK;
  }
  // No display: the warning still reaches the user, as one line.
  std::fprintf(stderr, "%s: %s\n", title, body);
  return IDOK;
}

int wsprintfA(LPSTR buffer, LPCSTR format, ...) {
  constexpr std::size_t kWsprintfLimit = 1024;  // bytes, the terminating zero included
  va_list args;
  va_start(args, format);
  const int written = std::vsnprintf(buffer, kWsprintfLimit, format, args);
  va_end(args);
  if (written < 0) {
    buffer[0] = '\0';
    return 0;
  }
  const int longest = static_cast<int>(kWsprintfLimit) - 1;
  return written > longest ? longest : written;
}
