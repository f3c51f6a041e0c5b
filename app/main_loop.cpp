// The main loop: messages first; a frame whenever the queue is empty. It never sleeps, so
// frames follow one another as fast as the device allows, each at its own clock value.
#include "app/app_state.h"
#include "app/win_main.h"
#include "scenes/frame_driver.h"

std::int32_t DemoClockFromTicks(std::uint32_t now, std::uint32_t start) {
  return static_cast<std::int32_t>(now - start);
}

bool MainLoopTurn() {
  MSG msg;
  if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return false;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
  }
  DemoClock = DemoClockFromTicks(GetTickCount(), StartTick);
  RenderFrame(DemoClock);
  ++FrameCounter;
  return true;
}

int RunMainLoop() {
  while (MainLoopTurn()) {
  }
  return 0;
}
