#include "tools/play/play_window.h"

#include <cstdio>

namespace orchard {

namespace {

constexpr const char* kClassName = "QuietOrchardPlayer";
constexpr const char* kTitle = "Quiet Orchard";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

PlayerInput pending;

// Bit 30 of a key message's lParam: the key was already down (auto-repeat).
bool IsRepeat(LPARAM lParam) { return (static_cast<std::uint32_t>(lParam) & (1u << 30)) != 0; }

LRESULT PlayerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_SPACE: if (!IsRepeat(lParam)) pending.togglePause = !pending.togglePause; break;
        case VK_LEFT: --pending.seekSteps; break;
        case VK_RIGHT: ++pending.seekSteps; break;
        case 'F': if (!IsRepeat(lParam)) pending.toggleFullscreen = !pending.toggleFullscreen; break;
        case VK_ESCAPE: pending.quit = true; break;
        default: break;
      }
      return 0;
    case WM_CLOSE:
      pending.quit = true;
      return 0;
    case WM_PAINT:
      ValidateRect(window, nullptr);  // the frame loop draws
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

HWND CreatePlayerWindow(int clientWidth, int clientHeight, bool fullscreen) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = PlayerWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kClassName;
  RegisterClassA(&windowClass);  // a second player in one process finds it registered

  RECT outer{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&outer, kStyle, FALSE, WS_EX_APPWINDOW);
  HWND window = CreateWindowExA(WS_EX_APPWINDOW, kClassName, kTitle, kStyle, 0, 0, outer.right - outer.left,
                                outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    std::fprintf(stderr, "orchard play: cannot open a window (is there a display?)\n");
    return nullptr;
  }
  if (fullscreen && !win32::SetDesktopFullscreen(window, true))
    std::fprintf(stderr, "orchard play: full screen refused; playing in the window\n");
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  pending = PlayerInput{};
  return window;
}

PlayerInput TakePlayerInput() {
  const PlayerInput taken = pending;
  pending = PlayerInput{};
  return taken;
}

}  // namespace orchard
