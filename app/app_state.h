// The application shell's global state. It lives for the whole run; the comment on each
// global says who writes it.
#pragma once

#include <cstdint>

#include "platform/win32/win32.h"

// The display choices of the settings dialog, passed by value to InitD3D.
struct DisplaySettingsRecord {
  std::int32_t height = 600;
  std::int32_t width = 800;
  bool fullscreen = false;
  bool fsaa = false;
  bool anisotropic = false;
};

extern DisplaySettingsRecord DisplaySettings;  // WinMain sets 800 x 600; START writes it
extern bool showFps;                           // START writes it; RenderFrame reads it
extern bool CloseRequested;                    // CLOSE sets it; WinMain tests it once
extern HWND MainWindow;                        // WinMain; the device window of InitD3D
extern std::uint32_t StartTick;                // WinMain, just before the main loop
extern std::int32_t DemoClock;                 // the main loop, once per frame
extern std::int32_t FrameCounter;              // the main loop counts; WM_TIMER resets
extern std::int32_t FpsValue;                  // WM_TIMER; RenderFrame shows it

// The window class name, which is also the window's first title.
inline constexpr const char* kWindowClassName = "ZR_Stage";
