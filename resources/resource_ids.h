// The ids of the program's resources and of the settings dialog's controls, shared by the
// templates and the code that works with them.
#pragma once

inline constexpr int kSettingsDialogId = 101;
inline constexpr int kProgramIconId = 102;
inline constexpr int kTitleBitmapId = 104;

inline constexpr int kStartButtonId = 1001;
inline constexpr int kCloseButtonId = 8;
inline constexpr int kWindowRadioId = 1010;
inline constexpr int k640x480RadioId = 1011;
inline constexpr int k800x600RadioId = 1012;
inline constexpr int k1024x768RadioId = 1013;
inline constexpr int kFsaaCheckId = 1014;
inline constexpr int kAnisotropicCheckId = 1015;
inline constexpr int kShowFpsCheckId = 1016;
