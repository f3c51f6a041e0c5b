// Presenting into a real window of our window layer (under the X server of `make test`):
// the back buffer is stretched into the whole client area, and full screen takes the
// display's rate when it lacks the 85 Hz asked for. A front end's output policy renders at
// the window's own size, fitted 4:3 with bars, and follows the window when it changes.
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/d3d8/gl_device.h"
#include "platform/win32/win32.h"
#include "tests/platform/gl_test_support.h"

namespace {

using gltest::Near;
using gltest::Pixel;

class GlPresentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win32::ResetForTests();
    WNDCLASSA windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "GlPresentTest";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
  }
  void TearDown() override {
    device.reset();
    if (window != nullptr) DestroyWindow(window);
    win32::ResetForTests();
  }

  HRESULT MakeDevice(UINT width, UINT height, BOOL windowed, UINT refresh,
                     const d3d8::OpenGlDevice::OutputPolicy& policy = {}) {
    device = std::make_unique<d3d8::OpenGlDevice>();
    device->SetOutputPolicy(policy);
    EXPECT_TRUE(device->Create(D3D_SDK_VERSION));
    D3DPRESENT_PARAMETERS parameters;
    parameters.BackBufferWidth = width;
    parameters.BackBufferHeight = height;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = window;
    parameters.Windowed = windowed;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    parameters.FullScreen_RefreshRateInHz = refresh;
    RenderDevice* created = nullptr;
    return device->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                &parameters, &created);
  }

  HWND window = nullptr;
  std::unique_ptr<d3d8::OpenGlDevice> device;
};

TEST_F(GlPresentTest, WindowedPresentStretchesTheBackBufferIntoTheSmallerClientArea) {
  window = CreateWindowExA(0, "GlPresentTest", "present", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                           nullptr, nullptr);
  ASSERT_NE(window, nullptr) << "no window: is an X server running?";
  ShowWindow(window, SW_SHOW);
  RECT client;
  ASSERT_TRUE(GetClientRect(window, &client));
  ASSERT_EQ(client.right, 792);
  ASSERT_EQ(client.bottom, 573);
  ASSERT_EQ(MakeDevice(800, 600, TRUE, 0), S_OK);

  // Quadrants of the 800 x 600 back buffer: red, green / blue, white.
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0);
  const RECT topLeft{0, 0, 400, 300}, topRight{400, 0, 800, 300}, bottomLeft{0, 300, 400, 600};
  device->Clear(1, &topLeft, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
  device->Clear(1, &topRight, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
  device->Clear(1, &bottomLeft, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
  d3d8::OpenGlDevice::DrawableCapture capture;
  device->CaptureDrawableAtNextPresent(&capture);
  ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
  ASSERT_TRUE(capture.taken);
  const d3dx::Image& shown = capture.image;
  ASSERT_EQ(shown.width, 792);
  ASSERT_EQ(shown.height, 573);

  const gltest::Rgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, white{255, 255, 255};
  EXPECT_TRUE(Near(Pixel(shown, 100, 100), red));
  EXPECT_TRUE(Near(Pixel(shown, 700, 100), green));
  EXPECT_TRUE(Near(Pixel(shown, 100, 500), blue));
  EXPECT_TRUE(Near(Pixel(shown, 700, 500), white));
  // Scaled, the middle lies at x = 396 and y = 286.5; copied unscaled it would lie at 400
  // and 300, and the right and bottom edges would be cut off.
  EXPECT_TRUE(Near(Pixel(shown, 392, 100), red)) << "left of the scaled middle";
  EXPECT_TRUE(Near(Pixel(shown, 399, 100), green)) << "right of the scaled middle";
  EXPECT_TRUE(Near(Pixel(shown, 100, 282), red)) << "above the scaled middle";
  EXPECT_TRUE(Near(Pixel(shown, 100, 292), blue)) << "below the scaled middle";
  EXPECT_TRUE(Near(Pixel(shown, 791, 572), white)) << "the last back-buffer pixel reaches the corner";
}

TEST_F(GlPresentTest, FullScreenTakesTheNearestRateWhenEightyFiveIsNotOffered) {
  window = CreateWindowExA(0, "GlPresentTest", "full", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr) << "no window: is an X server running?";
  d3d8::OpenGlDevice probe;
  D3DDISPLAYMODE desktop;
  ASSERT_EQ(probe.GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop), S_OK);
  ASSERT_NE(desktop.RefreshRate, 85u) << "this display offers 85 Hz; the test needs one that does not";
  EXPECT_EQ(MakeDevice(desktop.Width, desktop.Height, FALSE, 85), S_OK);
  EXPECT_EQ(MakeDevice(desktop.Width + 1, desktop.Height, FALSE, 85), E_FAIL) << "a size the display lacks";
}

TEST_F(GlPresentTest, FittedOutputFollowsTheWindowWithEqualBarsOnWideShapesAndNoneAt4To3) {
  window = CreateWindowExA(0, "GlPresentTest", "fit", WS_POPUP, 0, 0, 960, 540, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr) << "no window: is an X server running?";
  ShowWindow(window, SW_SHOW);
  d3d8::OpenGlDevice::OutputPolicy policy;
  policy.scaling = d3d8::OutputScaling::Fit;
  policy.followDrawable = true;
  ASSERT_EQ(MakeDevice(800, 600, TRUE, 0, policy), S_OK);

  const gltest::Rgb black{0, 0, 0}, red{255, 0, 0};
  auto presentRed = [&] {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFF0000, 1.0f, 0);
    d3d8::OpenGlDevice::DrawableCapture capture;
    device->CaptureDrawableAtNextPresent(&capture);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
    return capture.image;
  };

  // 16:9: the scenes render at 720 x 540, shown between two bars of 120.
  EXPECT_EQ(device->BackBufferWidth(), 720);
  EXPECT_EQ(device->BackBufferHeight(), 540);
  d3dx::Image shown = presentRed();
  ASSERT_EQ(shown.width, 960);
  for (int x : {0, 119, 840, 959}) EXPECT_TRUE(Near(Pixel(shown, x, 270), black)) << "bar at x = " << x;
  for (int x : {120, 480, 839}) EXPECT_TRUE(Near(Pixel(shown, x, 270), red)) << "picture at x = " << x;

  // The window becomes 4:3: from the next frame on, the picture fills it.
  SDL_SetWindowSize(static_cast<SDL_Window*>(win32::NativeWindow(window)), 640, 480);
  for (int i = 0; i < 50 && device->BackBufferWidth() != 640; ++i) {
    SDL_PumpEvents();
    SDL_Delay(10);
    presentRed();
  }
  ASSERT_EQ(device->BackBufferWidth(), 640);
  EXPECT_EQ(device->BackBufferHeight(), 480);
  shown = presentRed();
  ASSERT_EQ(shown.width, 640);
  for (int x : {0, 320, 639}) EXPECT_TRUE(Near(Pixel(shown, x, 240), red)) << "no bar at x = " << x;
}

}  // namespace
