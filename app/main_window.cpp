// MainWindowProc: ESC on release ends the run, the one-second timer shows the frame rate,
// and everything else takes the default handling.
#include "app/app_state.h"
#include "app/win_main.h"

LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 1;
    case WM_PAINT:
      // Nothing is drawn here; frames come from the main loop.
      ValidateRect(window, nullptr);
      return 0;
    case WM_KEYUP:
      if (LOWORD(wParam) == VK_ESCAPE) DestroyWindow(window);
      return 1;
    case WM_TIMER: {
      char title[64];
      wsprintfA(title, "%s    FPS: %d", kWindowClassName, FrameCounter);
      SetWindowTextA(window, title);
      FpsValue = FrameCounter;
      FrameCounter = 0;
      return 1;
    }
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
