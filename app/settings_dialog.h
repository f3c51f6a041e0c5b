// The settings dialog's procedure: it fills DisplaySettings and showFps on START, and sets
// CloseRequested (and posts the quit) on CLOSE.
#pragma once

#include "platform/win32/win32.h"

INT_PTR SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
