// The main window and the main loop with real SDL input, on SDL's headless video driver:
// keys arrive as SDL events and reach MainWindowProc as Windows messages.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/app_state.h"
#include "app/win_main.h"
#include "platform/win32/win32.h"

namespace {

class MainLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    win32::ResetForTests();
    WNDCLASSA windowClass;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.lpszClassName = kWindowClassName;
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    MainWindow = CreateWindowExA(WS_EX_APPWINDOW | WS_EX_WINDOWEDGE, kWindowClassName,
                                 kWindowClassName, WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(MainWindow, nullptr);
    ShowWindow(MainWindow, SW_SHOW);
    FrameCounter = 0;
    FpsValue = 0;
  }

  void TearDown() override { win32::ResetForTests(); }

  void PressKey(SDL_Keycode key, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = SDL_GetWindowID(static_cast<SDL_Window*>(win32::NativeWindow(MainWindow)));
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
  }

  // Runs turns until the queue is drained and one frame is rendered; false if the loop quit.
  bool RunUntilFrame() {
    const std::int32_t frames = FrameCounter;
    for (int turn = 0; turn < 100; ++turn) {
      if (!MainLoopTurn()) return false;
      if (FrameCounter != frames) return true;
    }
    ADD_FAILURE() << "no frame in 100 turns";
    return true;
  }
};

TEST_F(MainLoop, EscapeActsOnReleaseOnlyAndNoFrameFollowsTheQuit) {
  PressKey(SDLK_ESCAPE, true);
  ASSERT_TRUE(RunUntilFrame());
  EXPECT_TRUE(IsWindow(MainWindow)) << "ESC pressed and held does nothing";

  PressKey(SDLK_ESCAPE, false);
  const std::int32_t frames = FrameCounter;
  EXPECT_FALSE(RunUntilFrame()) << "the quit ends the loop";
  EXPECT_FALSE(IsWindow(MainWindow));
  EXPECT_EQ(FrameCounter, frames) << "no frame is rendered once the quit is posted";
}

TEST_F(MainLoop, OtherKeysDoNothing) {
  for (SDL_Keycode key : {SDLK_a, SDLK_SPACE, SDLK_RETURN, SDLK_F1}) {
    PressKey(key, true);
    PressKey(key, false);
  }
  EXPECT_TRUE(RunUntilFrame());
  EXPECT_TRUE(RunUntilFrame());
  EXPECT_TRUE(IsWindow(MainWindow));
}

TEST_F(MainLoop, ClosingTheWindowEndsTheRunLikeEscape) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = SDL_GetWindowID(static_cast<SDL_Window*>(win32::NativeWindow(MainWindow)));
  event.window.event = SDL_WINDOWEVENT_CLOSE;
  ASSERT_EQ(SDL_PushEvent(&event), 1);
  EXPECT_FALSE(RunUntilFrame());
  EXPECT_FALSE(IsWindow(MainWindow));
}

TEST_F(MainLoop, TheTimerShowsTheLastSecondsFramesInTheTitle) {
  FrameCounter = 60;
  SendMessageA(MainWindow, WM_TIMER, 0, 0);
  EXPECT_STREQ(SDL_GetWindowTitle(static_cast<SDL_Window*>(win32::NativeWindow(MainWindow))),
               "ZR_Stage    FPS: 60");
  EXPECT_EQ(FpsValue, 60);
  EXPECT_EQ(FrameCounter, 0);
}

TEST_F(MainLoop, TimerMessagesComeOncePerPeriodAndNeverPileUp) {
  ASSERT_NE(SetTimer(MainWindow, 0, 50, nullptr), 0u);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);  // the paint
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "the period has not passed";

  SDL_Delay(180);  // a stall of more than three periods
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_TIMER);
  EXPECT_EQ(msg.hwnd, MainWindow);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "missed periods do not accumulate";
}

TEST_F(MainLoop, PaintIsOfferedUntilValidated) {
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_PAINT);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "WM_PAINT stays while invalid";
  EXPECT_EQ(msg.message, WM_PAINT);
  DispatchMessageA(&msg);  // MainWindowProc validates
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MainLoop, TheQuitComesAfterEveryPostedMessage) {
  PostMessageA(MainWindow, WM_NULL, 1, 0);
  PostQuitMessage(0);
  PostMessageA(MainWindow, WM_NULL, 2, 0);
  MSG msg;
  for (WPARAM expected : {1u, 2u}) {
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_NULL);
    EXPECT_EQ(msg.wParam, expected);
  }
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
}

TEST(DemoClock, SurvivesTheWrapOfTheTickCount) {
  struct Case {
    std::uint32_t now, start;
    std::int32_t expected;
  } cases[] = {
      {30000, 0, 30000},
      {0xFFFFFFFFu, 0xFFFFFFFFu - 1000, 1000},
      {500, 0xFFFFFF00u, 756},            // the tick count wrapped after the start
      {100, 200, -100},                   // a tick before the start reads as negative
      {0x80000000u + 5, 5, INT32_MIN},    // half the tick range: the signed reading turns over
  };
  for (const auto& c : cases) EXPECT_EQ(DemoClockFromTicks(c.now, c.start), c.expected) << c.now;
}

}  // namespace
