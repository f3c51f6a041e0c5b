#include "app/app_state.h"

DisplaySettingsRecord DisplaySettings;
bool showFps = false;
bool CloseRequested = false;
HWND MainWindow = nullptr;
std::uint32_t StartTick = 0;
std::int32_t DemoClock = 0;
std::int32_t FrameCounter = 0;
std::int32_t FpsValue = 0;
