// START takes the choices: a resolution button switches to full screen at that size, while
// "Window" writes nothing, so the 800 x 600 window set before the dialog stays. CLOSE ends
// the program before any window exists.
#include "app/settings_dialog.h"

#include "app/app_state.h"
#include "resources/resource_ids.h"

INT_PTR SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CheckRadioButton(dialog, kWindowRadioId, k1024x768RadioId, k800x600RadioId);
      CheckDlgButton(dialog, kShowFpsCheckId, BST_UNCHECKED);
      CheckDlgButton(dialog, kFsaaCheckId, BST_UNCHECKED);
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kStartButtonId:
          if (IsDlgButtonChecked(dialog, k640x480RadioId) != 0) {
            DisplaySettings.fullscreen = true;
            DisplaySettings.width = 640;
            DisplaySettings.height = 480;
          }
          if (IsDlgButtonChecked(dialog, k800x600RadioId) != 0) {
            DisplaySettings.fullscreen = true;
            DisplaySettings.width = 800;
            DisplaySettings.height = 600;
          }
          if (IsDlgButtonChecked(dialog, k1024x768RadioId) != 0) {
            DisplaySettings.fullscreen = true;
            DisplaySettings.width = 1024;
            DisplaySettings.height = 768;
          }
          DisplaySettings.fsaa = IsDlgButtonChecked(dialog, kFsaaCheckId) != 0;
          DisplaySettings.anisotropic = IsDlgButtonChecked(dialog, kAnisotropicCheckId) != 0;
          showFps = IsDlgButtonChecked(dialog, kShowFpsCheckId) != 0;
          EndDialog(dialog, static_cast<INT_PTR>(wParam));
          return 1;
        case kCloseButtonId:
          // The dialog's loop ends when it takes the quit and leaves it pending for WinMain.
          PostQuitMessage(0);
          CloseRequested = true;
          return 0;
        default:
          return 0;
      }
    default:
      return 0;
  }
}
