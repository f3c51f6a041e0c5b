// Window classes and windows on SDL2.
#include <algorithm>
#include <cstring>

#include "platform/win32/internal.h"

namespace win32 {

LayerState& State() {
  static LayerState state;
  return state;
}

bool EnsureVideo() {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
  // Ctrl+C and SIGTERM end the program as they end any other; SDL would turn them into a
  // quit event that no Windows program ever receives.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  // The process ends without releasing anything; SDL_Quit restores a changed display mode.
  static bool registered = false;
  if (!registered) {
    registered = true;
    std::atexit(SDL_Quit);
  }
  return true;
}

HWND FindWindowBySdlId(Uint32 windowId) {
  for (auto& window : State().windows) {
    if (window->alive && window->sdl != nullptr && SDL_GetWindowID(window->sdl) == windowId)
      return window.get();
  }
  return nullptr;
}

bool IsLive(HWND window) {
  if (window == nullptr) return false;
  const auto& windows = State().windows;
  return std::any_of(windows.begin(), windows.end(),
                     [&](const auto& w) { return w.get() == window && w->alive; });
}

void* NativeWindow(HWND window) { return IsLive(window) ? window->sdl : nullptr; }

namespace {

const WNDCLASSA* FindClass(LPCSTR name) {
  auto& state = State();
  for (std::size_t i = 0; i < state.classes.size(); ++i) {
    if (SDL_strcasecmp(state.classNames[i].c_str(), name) == 0) return &state.classes[i];
  }
  return nullptr;
}

// The frame that Windows adds around the client area for a style, with classic metrics
// (AdjustWindowRectEx): what we subtract from the outer size CreateWindowEx is given.
struct Frame {
  int left = 0, top = 0, right = 0, bottom = 0;
};

Frame FrameForStyle(DWORD style, DWORD exStyle) {
  Frame frame;
  int edge = 0;
  if ((style & WS_THICKFRAME) != 0) {
    edge = SM_CXSIZEFRAME;
  } else if ((style & WS_CAPTION) == WS_CAPTION || (style & WS_BORDER) != 0) {
    edge = (style & WS_CAPTION) == WS_CAPTION ? 3 : 1;  // dialog frame or thin border
  }
  if ((exStyle & WS_EX_CLIENTEDGE) != 0) edge += 2;
  frame.left = frame.right = frame.bottom = edge;
  frame.top = edge + ((style & WS_CAPTION) == WS_CAPTION ? SM_CYCAPTION : 0);
  return frame;
}

}  // namespace

}  // namespace win32

using namespace win32;

HMODULE GetModuleHandleA(LPCSTR) {
  static int module;
  return reinterpret_cast<HMODULE>(&module);
}

HICON LoadIconA(HINSTANCE, LPCSTR) {
  static int icon;
  return reinterpret_cast<HICON>(&icon);
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR) {
  static int cursor;
  return reinterpret_cast<HCURSOR>(&cursor);
}

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
  if (windowClass == nullptr || windowClass->lpszClassName == nullptr ||
      windowClass->lpfnWndProc == nullptr || FindClass(windowClass->lpszClassName) != nullptr)
    return 0;
  auto& state = State();
  state.classNames.emplace_back(windowClass->lpszClassName);
  state.classes.push_back(*windowClass);
  // Point the stored record at our own copy of the name.
  for (std::size_t i = 0; i < state.classes.size(); ++i)
    state.classes[i].lpszClassName = state.classNames[i].c_str();
  return static_cast<ATOM>(0xC000 + state.classes.size());
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND, HMENU, HINSTANCE, void*) {
  const WNDCLASSA* windowClass = className != nullptr ? FindClass(className) : nullptr;
  if (windowClass == nullptr || width <= 0 || height <= 0 || !EnsureVideo()) return nullptr;

  auto& state = State();
  const bool fullscreen = (style & WS_POPUP) != 0 && state.fullscreenMode.has_value();
  const Frame frame = FrameForStyle(style, exStyle);
  const int clientWidth = std::max(1, width - frame.left - frame.right);
  const int clientHeight = std::max(1, height - frame.top - frame.bottom);

  // The device renders at the drawable's real pixel size on a high-density screen, where
  // Windows would scale the program's picture up.
  Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
  if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN;
  if ((style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
  if ((style & WS_THICKFRAME) != 0) flags |= SDL_WINDOW_RESIZABLE;  // a sizing border
  const char* title = windowName != nullptr ? windowName : "";
  SDL_Window* sdl = SDL_CreateWindow(title, x + frame.left, y + frame.top, clientWidth,
                                     clientHeight, flags);
  if (sdl == nullptr) {
    // A video driver without OpenGL (the dummy driver) still gets its window; the device
    // then fails to start on it, as a device would on a machine without 3D support.
    sdl = SDL_CreateWindow(title, x + frame.left, y + frame.top, clientWidth, clientHeight,
                           flags & ~static_cast<Uint32>(SDL_WINDOW_OPENGL));
  }
  if (sdl == nullptr) return nullptr;

  if (fullscreen) {
    SDL_DisplayMode mode{};
    mode.w = state.fullscreenMode->width;
    mode.h = state.fullscreenMode->height;
    mode.format = SDL_PIXELFORMAT_RGB888;
    SDL_SetWindowDisplayMode(sdl, &mode);
  }

  auto window = std::make_unique<HWND__>();
  window->sdl = sdl;
  window->proc = windowClass->lpfnWndProc;
  window->className = windowClass->lpszClassName;
  window->title = title;
  window->style = style;
  window->exStyle = exStyle;
  window->outerWidth = width;
  window->outerHeight = height;
  HWND handle = window.get();
  state.windows.push_back(std::move(window));

  if (SendMessageA(handle, WM_CREATE, 0, 0) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  return handle;
}

BOOL ShowWindow(HWND window, int showCommand) {
  if (!IsLive(window)) return FALSE;
  const bool wasVisible = (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_SHOWN) != 0;
  if (showCommand == SW_HIDE) {
    SDL_HideWindow(window->sdl);
  } else {
    SDL_ShowWindow(window->sdl);
    window->needsPaint = true;
  }
  return wasVisible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
  if (!IsLive(window)) return FALSE;
  if (window->needsPaint) SendMessageA(window, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL SetForegroundWindow(HWND window) {
  if (!IsLive(window)) return FALSE;
  SDL_RaiseWindow(window->sdl);
  return TRUE;
}

BOOL DestroyWindow(HWND window) {
  if (!IsLive(window)) return FALSE;
  // Windows sends both messages synchronously, before DestroyWindow returns.
  SendMessageA(window, WM_DESTROY, 0, 0);
  SendMessageA(window, WM_NCDESTROY, 0, 0);
  window->alive = false;
  if (window->sdl != nullptr) SDL_DestroyWindow(window->sdl);
  window->sdl = nullptr;
  auto& state = State();
  std::erase_if(state.timers, [&](const Timer& timer) { return timer.window == window; });
  std::erase_if(state.posted, [&](const MSG& msg) { return msg.hwnd == window; });
  return TRUE;
}

BOOL IsWindow(HWND window) { return IsLive(window) ? TRUE : FALSE; }

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL, DWORD exStyle) {
  if (rect == nullptr) return FALSE;
  const Frame frame = FrameForStyle(style, exStyle);
  rect->left -= frame.left;
  rect->top -= frame.top;
  rect->right += frame.right;
  rect->bottom += frame.bottom;
  return TRUE;
}

bool win32::SetDesktopFullscreen(HWND window, bool on) {
  if (!IsLive(window)) return false;
  SDL_Window* sdl = window->sdl;
  if (on == IsDesktopFullscreen(window)) return true;
  if (on) {
    SDL_Rect& place = window->windowedPlace;
    SDL_GetWindowPosition(sdl, &place.x, &place.y);
    SDL_GetWindowSize(sdl, &place.w, &place.h);
    // Without a window manager (a bare X server) nothing would resize the window for
    // SDL's full screen; covering the display first makes it so everywhere.
    SDL_Rect display{};
    if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(sdl)), &display) == 0) {
      SDL_SetWindowPosition(sdl, display.x, display.y);
      SDL_SetWindowSize(sdl, display.w, display.h);
    }
    return SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
  }
  if (SDL_SetWindowFullscreen(sdl, 0) != 0) return false;
  const SDL_Rect& place = window->windowedPlace;
  SDL_SetWindowSize(sdl, place.w, place.h);
  SDL_SetWindowPosition(sdl, place.x, place.y);
  return true;
}

bool win32::IsDesktopFullscreen(HWND window) {
  if (!IsLive(window)) return false;
  return (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
  if (!IsLive(window)) return FALSE;
  window->title = text != nullptr ? text : "";
  SDL_SetWindowTitle(window->sdl, window->title.c_str());
  return TRUE;
}

BOOL ValidateRect(HWND window, const RECT*) {
  if (!IsLive(window)) return FALSE;
  window->needsPaint = false;
  return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
  if (!IsLive(window) || rect == nullptr) return FALSE;
  int w = 0, h = 0;
  SDL_GetWindowSize(window->sdl, &w, &h);
  *rect = RECT{0, 0, w, h};
  return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!IsLive(window) || window->proc == nullptr) return 0;
  return window->proc(window, message, wParam, lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_PAINT:
      // The default painting validates the window, so WM_PAINT stops coming.
      ValidateRect(window, nullptr);
      return 0;
    default:
      return 0;
  }
}
