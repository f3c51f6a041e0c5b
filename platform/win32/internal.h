// State shared by the files of the window layer. Everything here runs on the main thread.
#pragma once

#include <SDL.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/win32.h"

// A window of the layer. Destroyed windows stay allocated (marked dead) until the layer is
// reset, so a stale handle can still be compared and rejected safely.
struct HWND__ {
  SDL_Window* sdl = nullptr;
  WNDPROC proc = nullptr;
  std::string className;
  std::string title;
  DWORD style = 0;
  DWORD exStyle = 0;
  int outerWidth = 0;
  int outerHeight = 0;
  bool needsPaint = false;
  bool alive = true;
  SDL_Rect windowedPlace{};  // where the window was before desktop full screen
};

namespace win32 {

struct Timer {
  HWND window = nullptr;
  std::uintptr_t id = 0;
  UINT periodMs = 0;
  TIMERPROC callback = nullptr;
  DWORD dueTick = 0;
};

struct DisplayModeRequest {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 32;
};

struct LayerState {
  std::vector<WNDCLASSA> classes;
  std::vector<std::string> classNames;  // owns the names the WNDCLASSA records point to
  std::vector<std::unique_ptr<HWND__>> windows;
  std::deque<MSG> posted;
  std::vector<Timer> timers;
  bool quitPending = false;
  int quitCode = 0;
  std::function<void(int)> quitObserver;
  int cursorCount = 0;
  std::optional<DisplayModeRequest> fullscreenMode;  // set by ChangeDisplaySettingsA
};

LayerState& State();

// Starts SDL's video subsystem once; false where no display can be had.
bool EnsureVideo();

HWND FindWindowBySdlId(Uint32 windowId);
bool IsLive(HWND window);

// Turns pending SDL events into posted messages.
void PumpSdlEvents();

}  // namespace win32
