// The settings dialog as the program runs it: template 101 through DialogBoxParamA with
// SettingsDialogProc, driven by SDL input events on the headless video driver. Each step
// of a script runs when the dialog has handled everything before it.
#include "app/settings_dialog.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "platform/win32/bitmap_file.h"
#include "platform/win32/win32.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

extern const std::uint8_t kTitleBitmapFile[];
extern const std::size_t kTitleBitmapFile_size;

namespace {

using Step = std::function<void(HWND)>;
constexpr INT_PTR kAbandoned = -77;

// The commands the dialog received, recorded on their way to SettingsDialogProc.
std::vector<WORD> commands;

INT_PTR RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) commands.push_back(LOWORD(wParam));
  return SettingsDialogProc(dialog, message, wParam, lParam);
}

SDL_Window* Native(HWND dialog) { return static_cast<SDL_Window*>(win32::NativeWindow(dialog)); }

void PushKey(HWND dialog, SDL_Keycode key, bool down) {
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.windowID = SDL_GetWindowID(Native(dialog));
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.sym = key;
  SDL_PushEvent(&event);
}

Step Key(SDL_Keycode key) {
  return [key](HWND dialog) {
    PushKey(dialog, key, true);
    PushKey(dialog, key, false);
  };
}

Step ShiftTab() {
  return [](HWND dialog) {
    PushKey(dialog, SDLK_LSHIFT, true);
    PushKey(dialog, SDLK_TAB, true);
    PushKey(dialog, SDLK_TAB, false);
    PushKey(dialog, SDLK_LSHIFT, false);
  };
}

Step Click(int id) {
  return [id](HWND dialog) {
    RECT rect;
    ASSERT_TRUE(win32::DialogItemRectInWindow(dialog, id, &rect)) << "no control " << id;
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
      SDL_Event event{};
      event.type = type;
      event.button.windowID = SDL_GetWindowID(Native(dialog));
      event.button.button = SDL_BUTTON_LEFT;
      event.button.x = (rect.left + rect.right) / 2;
      event.button.y = (rect.top + rect.bottom) / 2;
      SDL_PushEvent(&event);
    }
  };
}

Step WindowManagerClose() {
  return [](HWND dialog) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(Native(dialog));
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&event);
  };
}

Step ExpectFocus(int id) {
  return [id](HWND dialog) { EXPECT_EQ(win32::DialogFocusId(dialog), id); };
}

// Exactly one of the four radio buttons is checked: `id`.
Step ExpectOnlyRadio(int id) {
  return [id](HWND dialog) {
    for (int radio = kWindowRadioId; radio <= k1024x768RadioId; ++radio)
      EXPECT_EQ(IsDlgButtonChecked(dialog, radio), radio == id ? BST_CHECKED : BST_UNCHECKED)
          << "radio " << radio << " while " << id << " should be the one";
  };
}

class SettingsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    win32::ResetForTests();
    resources::RegisterProgramResources();
    // What WinMain sets before the dialog.
    DisplaySettings = DisplaySettingsRecord{};
    DisplaySettings.width = 800;
    DisplaySettings.height = 600;
    DisplaySettings.fullscreen = false;
    showFps = false;
    CloseRequested = false;
    commands.clear();
  }

  void TearDown() override {
    win32::SetDialogIdleHook(nullptr);
    win32::ResetForTests();
  }

  // Runs the dialog through the steps. A dialog still open when they run out is ended
  // with kAbandoned, so a wrong behaviour fails the test instead of hanging it.
  INT_PTR Run(std::vector<Step> steps) {
    std::size_t next = 0;
    win32::SetDialogIdleHook([&](HWND dialog) {
      if (next < steps.size()) {
        steps[next++](dialog);
      } else {
        EndDialog(dialog, kAbandoned);
      }
    });
    const INT_PTR result = DialogBoxParamA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kSettingsDialogId), nullptr, RecordingProc, 0);
    win32::SetDialogIdleHook(nullptr);
    return result;
  }
};

TEST_F(SettingsDialog, StartTakesTheChoices) {
  struct Case {
    std::string name;
    std::vector<int> clicks;
    int width, height;
    bool fullscreen, fsaa, anisotropic, fps;
  };
  const Case cases[] = {
      {"nothing touched", {}, 800, 600, true, false, false, false},
      {"640x480", {k640x480RadioId}, 640, 480, true, false, false, false},
      {"1024x768", {k1024x768RadioId}, 1024, 768, true, false, false, false},
      {"back to 800x600", {k1024x768RadioId, k800x600RadioId}, 800, 600, true, false, false, false},
      {"Window after a resolution",
       {k640x480RadioId, kWindowRadioId},
       800,
       600,
       false,
       false,
       false,
       false},
      {"FSAA", {kFsaaCheckId}, 800, 600, true, true, false, false},
      {"anisotropic", {kAnisotropicCheckId}, 800, 600, true, false, true, false},
      {"show FPS", {kShowFpsCheckId}, 800, 600, true, false, false, true},
      {"ticked twice is off",
       {kShowFpsCheckId, kShowFpsCheckId},
       800,
       600,
       true,
       false,
       false,
       false},
      {"Window with every box",
       {kWindowRadioId, kFsaaCheckId, kAnisotropicCheckId, kShowFpsCheckId},
       800,
       600,
       false,
       true,
       true,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    std::vector<Step> steps;
    for (int id : c.clicks) steps.push_back(Click(id));
    steps.push_back(Click(kStartButtonId));
    EXPECT_EQ(Run(steps), static_cast<INT_PTR>(MAKEWPARAM(kStartButtonId, BN_CLICKED)))
        << "EndDialog's result is START's wParam";
    EXPECT_EQ(DisplaySettings.width, c.width);
    EXPECT_EQ(DisplaySettings.height, c.height);
    EXPECT_EQ(DisplaySettings.fullscreen, c.fullscreen);
    EXPECT_EQ(DisplaySettings.fsaa, c.fsaa);
    EXPECT_EQ(DisplaySettings.anisotropic, c.anisotropic);
    EXPECT_EQ(showFps, c.fps);
    EXPECT_FALSE(CloseRequested);
    EXPECT_FALSE(win32::QuitPending());
    TearDown();
  }
}

TEST_F(SettingsDialog, WindowKeepsWhateverSizeWasSetBeforeTheDialog) {
  DisplaySettings.width = 1280;
  DisplaySettings.height = 720;
  Run({Click(kWindowRadioId), Click(kStartButtonId)});
  EXPECT_EQ(DisplaySettings.width, 1280);
  EXPECT_EQ(DisplaySettings.height, 720);
  EXPECT_FALSE(DisplaySettings.fullscreen);
}

TEST_F(SettingsDialog, CloseEndsTheDialogWithTheQuitStillPending) {
  const INT_PTR result = Run({Click(kCloseButtonId)});
  EXPECT_NE(result, kAbandoned) << "the quit must end the dialog";
  EXPECT_TRUE(CloseRequested);
  EXPECT_EQ(commands, std::vector<WORD>{kCloseButtonId});
  // Nothing of the display choices is written.
  EXPECT_EQ(DisplaySettings.width, 800);
  EXPECT_FALSE(DisplaySettings.fullscreen);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(SettingsDialog, EnterPressesTheFocusedPushButtonOrElseStart) {
  struct Case {
    std::string name;
    std::vector<Step> keys;
    WORD command;
  };
  const std::vector<Case> cases{
      {"START focused", {Key(SDLK_RETURN)}, kStartButtonId},
      {"CLOSE focused", {Key(SDLK_TAB), Key(SDLK_RETURN)}, kCloseButtonId},
      {"a check box focused", {Key(SDLK_TAB), Key(SDLK_TAB), Key(SDLK_RETURN)}, kStartButtonId},
      {"keypad Enter", {Key(SDLK_KP_ENTER)}, kStartButtonId},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    EXPECT_NE(Run(c.keys), kAbandoned);
    EXPECT_EQ(commands, std::vector<WORD>{c.command});
    EXPECT_EQ(CloseRequested, c.command == kCloseButtonId);
    EXPECT_EQ(DisplaySettings.fullscreen, c.command == kStartButtonId);
    TearDown();
  }
}

TEST_F(SettingsDialog, EscapeAndTheWindowManagersCloseSendCancelAndTheDialogStays) {
  bool stillOpen = false;
  const INT_PTR result = Run({Key(SDLK_ESCAPE), WindowManagerClose(),
                              [&](HWND dialog) { stillOpen = IsWindow(dialog) != FALSE; }});
  EXPECT_EQ(result, kAbandoned) << "only START and CLOSE end the dialog";
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(commands, (std::vector<WORD>{IDCANCEL, IDCANCEL}));
  EXPECT_FALSE(CloseRequested);
  EXPECT_FALSE(win32::QuitPending());
}

TEST_F(SettingsDialog, TabVisitsTheTabStopsInTemplateOrder) {
  Run({ExpectFocus(kStartButtonId), Key(SDLK_TAB), ExpectFocus(kCloseButtonId), Key(SDLK_TAB),
       ExpectFocus(kFsaaCheckId), Key(SDLK_TAB), ExpectFocus(kAnisotropicCheckId), Key(SDLK_TAB),
       ExpectFocus(kShowFpsCheckId), Key(SDLK_TAB), ExpectFocus(kStartButtonId), ShiftTab(),
       ExpectFocus(kShowFpsCheckId), ShiftTab(), ExpectFocus(kAnisotropicCheckId)});
  EXPECT_TRUE(commands.empty()) << "moving the focus sends nothing";
}

TEST_F(SettingsDialog, SpaceClicksTheFocusedControlWhenReleased) {
  Run({Key(SDLK_TAB), Key(SDLK_TAB), Key(SDLK_SPACE),
       [](HWND dialog) { EXPECT_EQ(IsDlgButtonChecked(dialog, kFsaaCheckId), BST_CHECKED); },
       [](HWND dialog) { PushKey(dialog, SDLK_SPACE, true); },
       [](HWND dialog) {
         EXPECT_EQ(IsDlgButtonChecked(dialog, kFsaaCheckId), BST_CHECKED) << "not yet";
       },
       [](HWND dialog) { PushKey(dialog, SDLK_SPACE, false); },
       [](HWND dialog) { EXPECT_EQ(IsDlgButtonChecked(dialog, kFsaaCheckId), BST_UNCHECKED); }});
  EXPECT_EQ(commands, (std::vector<WORD>{kFsaaCheckId, kFsaaCheckId}));
}

TEST_F(SettingsDialog, ArrowsMoveThroughTheOneGroupCheckingTheRadioMovedTo) {
  // No control starts a group, so from START the arrows pass CLOSE, skip the group box,
  // and select each radio button they reach.
  Run({ExpectOnlyRadio(k800x600RadioId), Key(SDLK_DOWN), ExpectFocus(kCloseButtonId),
       ExpectOnlyRadio(k800x600RadioId), Key(SDLK_DOWN), ExpectFocus(kWindowRadioId),
       ExpectOnlyRadio(kWindowRadioId), Key(SDLK_RIGHT), ExpectOnlyRadio(k640x480RadioId),
       Key(SDLK_DOWN), ExpectOnlyRadio(k800x600RadioId), Key(SDLK_DOWN),
       ExpectFocus(k1024x768RadioId), ExpectOnlyRadio(k1024x768RadioId), Key(SDLK_UP),
       Key(SDLK_LEFT), ExpectFocus(k640x480RadioId), ExpectOnlyRadio(k640x480RadioId),
       Key(SDLK_RETURN)});
  EXPECT_EQ(DisplaySettings.width, 640) << "Enter with a radio focused presses START";
  EXPECT_TRUE(DisplaySettings.fullscreen);
}

TEST_F(SettingsDialog, CheckRadioButtonSetsTheIdRangeAndLeavesTheRestAlone) {
  Run({Click(k1024x768RadioId), Click(kAnisotropicCheckId),
       [](HWND dialog) {
         EXPECT_EQ(CheckRadioButton(dialog, kWindowRadioId, k1024x768RadioId, k800x600RadioId),
                   TRUE);
       },
       ExpectOnlyRadio(k800x600RadioId),
       [](HWND dialog) {
         EXPECT_EQ(IsDlgButtonChecked(dialog, kAnisotropicCheckId), BST_CHECKED);
       }});
}

// Base units that turn 247 x 182 dialog units into the client size of the window.
struct Units {
  int x = 0, y = 0;
};
Units UnitsOfClient(int width, int height) {
  Units units;
  for (int candidate = 1; candidate < 40; ++candidate) {
    if (MulDiv(247, candidate, 4) == width) units.x = candidate;
    if (MulDiv(182, candidate, 8) == height) units.y = candidate;
  }
  return units;
}

std::uint32_t SurfacePixel(SDL_Surface* surface, int x, int y) {
  Uint8 r = 0, g = 0, b = 0;
  const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
  Uint32 value = 0;
  std::memcpy(&value, row + x * surface->format->BytesPerPixel, surface->format->BytesPerPixel);
  SDL_GetRGB(value, surface->format, &r, &g, &b);
  return 0xFF000000u | static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 | b;
}

TEST_F(SettingsDialog, ThePictureShowsTheWholeBitmapAtItsCornerInsideASunkenEdge) {
  const auto bitmap = win32::DecodeBmp(std::span(kTitleBitmapFile, kTitleBitmapFile_size));
  ASSERT_TRUE(bitmap.has_value());
  ASSERT_EQ(bitmap->width, 200);
  ASSERT_EQ(bitmap->height, 200);
  Run({[&](HWND dialog) {
    SDL_Surface* surface = SDL_GetWindowSurface(Native(dialog));
    ASSERT_NE(surface, nullptr);
    const int edge = 2;  // the dialog's client edge
    const Units units = UnitsOfClient(surface->w - 2 * edge, surface->h - 2 * edge);
    ASSERT_GT(units.x, 0);
    ASSERT_GT(units.y, 0);
    const int left = edge + MulDiv(93, units.x, 4);
    const int top = edge + MulDiv(12, units.y, 8);
    EXPECT_EQ(SurfacePixel(surface, left, top), 0xFF808080u) << "the sunken edge's outer shadow";
    const std::pair<int, int> points[] = {{0, 0},     {199, 0},  {0, 199},
                                          {199, 199}, {100, 30}, {150, 170}};
    for (auto [x, y] : points)
      EXPECT_EQ(SurfacePixel(surface, left + 2 + x, top + 2 + y),
                bitmap->pixels[static_cast<std::size_t>(y) * 200 + x])
          << "bitmap pixel " << x << "," << y;
  }});
}

TEST_F(SettingsDialog, TheHeavyFrameMarksStartUntilAnotherPushButtonHasTheFocus) {
  const auto corners = [](HWND dialog) {
    SDL_Surface* surface = SDL_GetWindowSurface(Native(dialog));
    RECT start, close;
    win32::DialogItemRectInWindow(dialog, kStartButtonId, &start);
    win32::DialogItemRectInWindow(dialog, kCloseButtonId, &close);
    return std::pair{SurfacePixel(surface, start.left, start.top),
                     SurfacePixel(surface, close.left, close.top)};
  };
  constexpr std::uint32_t kBlack = 0xFF000000, kWhite = 0xFFFFFFFF;
  Run({[&](HWND dialog) {
         EXPECT_EQ(corners(dialog), (std::pair{kBlack, kWhite}));
       },
       Key(SDLK_TAB),
       [&](HWND dialog) {
         EXPECT_EQ(corners(dialog), (std::pair{kWhite, kBlack}));
       },
       Key(SDLK_TAB),
       [&](HWND dialog) {
         EXPECT_EQ(corners(dialog), (std::pair{kBlack, kWhite})) << "a check box has it";
       }});
}

}  // namespace
