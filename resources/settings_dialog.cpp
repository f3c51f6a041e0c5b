#include "resources/settings_dialog.h"

#include "resources/resource_ids.h"

namespace resources {

win32::DialogTemplate SettingsDialogTemplate() {
  win32::DialogTemplate dialog;
  // Popup with a caption but no system menu, so no close box; centred on the screen.
  dialog.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_SETFONT | DS_3DLOOK | DS_CENTER |
                 DS_SETFOREGROUND | DS_CONTEXTHELP;
  dialog.exStyle = WS_EX_CLIENTEDGE;
  dialog.x = 0;
  dialog.y = 0;
  dialog.cx = 247;
  dialog.cy = 182;
  dialog.caption = "Quiet Orchard   by velmora   at Brackfest";
  dialog.fontFace = "MS Sans Serif";
  dialog.pointSize = 8;

  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
  constexpr DWORD kTab = WS_TABSTOP;
  // No control starts a group, so the four radio buttons form one group; they have no tab
  // stop and are reached with the arrow keys. The picture control sizes itself to its
  // bitmap: its rectangle fixes only its top-left corner.
  // clang-format off
  dialog.items = {
      // id                  class     text                    image           style                                      ex  x    y    cx   cy
      {kStartButtonId,      "button", "START",                 0,              kChild | BS_DEFPUSHBUTTON | kTab,          0, 94,  146, 50,  14},
      {kCloseButtonId,      "button", "CLOSE",                 0,              kChild | BS_PUSHBUTTON | kTab,             0, 179, 146, 50,  14},
      {-1,                  "button", "Screen-Resolution",     0,              kChild | BS_GROUPBOX,                      0, 7,   8,   74,  85},
      {kWindowRadioId,      "button", "Window",                0,              kChild | BS_AUTORADIOBUTTON | BS_VCENTER,  0, 15,  24,  42,  10},
      {k640x480RadioId,     "button", "640x480x32",            0,              kChild | BS_AUTORADIOBUTTON,               0, 15,  40,  55,  10},
      {k800x600RadioId,     "button", "800x600x32",            0,              kChild | BS_AUTORADIOBUTTON,               0, 15,  55,  55,  10},
      {k1024x768RadioId,    "button", "1024x768x32",           0,              kChild | BS_AUTORADIOBUTTON,               0, 15,  70,  59,  10},
      {-1,                  "static", "",                      kTitleBitmapId, kChild | SS_BITMAP | WS_BORDER,            0, 93,  12,  135, 126},
      {kFsaaCheckId,        "button", "FSAA (2 Samples)",      0,              kChild | BS_AUTOCHECKBOX | kTab,           0, 7,   100, 74,  9},
      {kAnisotropicCheckId, "button", "Anisotropic Filtering", 0,              kChild | BS_AUTOCHECKBOX | kTab,           0, 7,   115, 83,  9},
      {kShowFpsCheckId,     "button", "Show FPS",              0,              kChild | BS_AUTOCHECKBOX | kTab,           0, 7,   132, 77,  8},
  };
  // clang-format on
  return dialog;
}

}  // namespace resources
