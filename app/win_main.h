// The program's spine: start-up, the main window's procedure and the main loop.
#pragma once

#include <cstdint>

#include "platform/win32/win32.h"

// Runs the whole program; the exit code is 0 on every path.
int WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);

LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One turn of the main loop: takes one message and dispatches it, or renders a frame when
// the queue is empty. Returns false once WM_QUIT has been taken.
bool MainLoopTurn();

// Repeats MainLoopTurn until the quit; returns WinMain's exit code, 0.
int RunMainLoop();

// Milliseconds since the start tick: the unsigned difference of two tick counts read as a
// signed value, so the clock survives one wrap of the tick count.
std::int32_t DemoClockFromTicks(std::uint32_t now, std::uint32_t start);
