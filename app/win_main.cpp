// WinMain: the start-up of the program, in the order the demo needs it: the settings, the
// window, the device, the assets, the timer, the music, the start tick, the main loop.
#include "app/app_state.h"
#include "app/settings_dialog.h"
#include "app/win_main.h"
#include "audio/music.h"
#include "render/assets.h"
#include "render/display_device.h"
#include "resources/resource_ids.h"

namespace {

constexpr const char* kMusicFile = "Data\\user@example.com3";

// Every warning of the program: no owner window, caption "ERROR", the warning icon, OK.
void ShowWarning(const char* text) { MessageBoxA(nullptr, text, "ERROR", MB_ICONWARNING); }

bool RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSA windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = nullptr;
  windowClass.lpszMenuName = nullptr;
  windowClass.lpszClassName = kWindowClassName;
  return RegisterClassA(&windowClass) != 0;
}

// Full screen: hide the cursor and switch the display to width x height at 32 bits. The
// result is not tested; the desktop mode comes back when the process ends.
void SwitchToFullscreenMode() {
  ShowCursor(FALSE);
  DEVMODEA mode;
  mode.dmSize = sizeof mode;
  mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
  mode.dmBitsPerPel = 32;
  mode.dmPelsWidth = static_cast<DWORD>(DisplaySettings.width);
  mode.dmPelsHeight = static_cast<DWORD>(DisplaySettings.height);
  ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
}

HWND CreateMainWindow(HINSTANCE instance) {
  const DWORD exStyle = DisplaySettings.fullscreen ? WS_EX_APPWINDOW
                                                   : WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
  const DWORD style = (DisplaySettings.fullscreen ? WS_POPUP : WS_OVERLAPPEDWINDOW) |
                      WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  return CreateWindowExA(exStyle, kWindowClassName, kWindowClassName, style, 0, 0,
                         DisplaySettings.width, DisplaySettings.height, nullptr, nullptr,
                         instance, nullptr);
}

}  // namespace

int WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  DisplaySettings.width = 800;
  DisplaySettings.height = 600;
  DisplaySettings.fullscreen = false;

  DialogBoxParamA(instance, MAKEINTRESOURCEA(kSettingsDialogId), nullptr, SettingsDialogProc, 0);
  if (CloseRequested) return 0;

  if (!RegisterMainWindowClass(instance)) {
    ShowWarning("Failed To Register The Window Class.");
    return 0;
  }
  if (DisplaySettings.fullscreen) SwitchToFullscreenMode();

  MainWindow = CreateMainWindow(instance);
  if (MainWindow == nullptr) {
    ShowWarning("Register WindowClass failed!");
    return 0;
  }
  ShowWindow(MainWindow, SW_SHOW);
  UpdateWindow(MainWindow);
  SetForegroundWindow(MainWindow);

  if (FAILED(InitD3D(DisplaySettings))) {
    ShowWarning("InitD3D failed!");
    return 0;
  }
  LoadAssets();
  SetTimer(MainWindow, 0, 1000, nullptr);

  if (InitSound(kMusicFile) == 1) {
    ShowWarning("Init of Sound failed!");
  } else {
    PlayMusic();
  }

  StartTick = GetTickCount();
  return RunMainLoop();
}
