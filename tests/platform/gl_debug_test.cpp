// The whole timeline on a debug context: every renderer and the frame-rate text, with a
// mesh and an image read from files in every asset slot, make no GL call that the driver
// reports as an error or as undefined. And the reports really arrive, from the head-less
// context and from a window's.
#include <epoxy/gl.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "platform/d3d8/gl_debug.h"
#include "platform/d3d8/gl_device.h"
#include "platform/win32/win32.h"
#include "render/assets.h"
#include "render/display_device.h"
#include "scenes/frame_driver.h"
#include "tests/platform/gl_test_support.h"

namespace {

namespace fs = std::filesystem;

class GlDebugContext : public ::testing::Test {
 protected:
  void SetUp() override {
    d3d8::EnableGlDebugContexts(true);
    d3d8::TakeGlDebugErrors();
  }
  void TearDown() override {
    d3d8::EnableGlDebugContexts(false);
    d3d8::TakeGlDebugErrors();
  }
};

// A device made on the window of our window layer (under the X server of the tests).
std::unique_ptr<d3d8::OpenGlDevice> MakeWindowDevice(HWND window) {
  auto device = std::make_unique<d3d8::OpenGlDevice>();
  if (!device->Create(D3D_SDK_VERSION)) return nullptr;
  D3DPRESENT_PARAMETERS parameters;
  parameters.BackBufferWidth = 64;
  parameters.BackBufferHeight = 64;
  parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
  parameters.BackBufferCount = 1;
  parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  parameters.hDeviceWindow = window;
  parameters.Windowed = TRUE;
  RenderDevice* created = nullptr;
  if (FAILED(device->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                  &parameters, &created)))
    return nullptr;
  return device;
}

// glEnable of a capability that does not exist is GL_INVALID_ENUM: one report, made while
// the call runs. Both kinds of context are debug contexts.
TEST_F(GlDebugContext, AWrongCallIsReportedOnTheHeadlessAndTheWindowContext) {
  win32::ResetForTests();
  WNDCLASSA windowClass;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "GlDebugContext";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  HWND window = CreateWindowExA(0, "GlDebugContext", "debug", WS_OVERLAPPEDWINDOW, 0, 0, 200, 150, nullptr,
                                nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr) << "no window: is an X server running?";

  for (const bool windowed : {false, true}) {
    SCOPED_TRACE(windowed ? "window context" : "head-less context");
    auto device = windowed ? MakeWindowDevice(window) : gltest::MakeHeadlessDevice();
    ASSERT_NE(device, nullptr);
    device->Finish();  // makes its context current
    GLint flags = 0;
    glGetIntegerv(GL_CONTEXT_FLAGS, &flags);
    EXPECT_NE(flags & GL_CONTEXT_FLAG_DEBUG_BIT, 0);
    EXPECT_EQ(d3d8::TakeGlDebugErrors(), std::vector<std::string>{}) << "creating the device";

    glEnable(0xFFFF);
    const std::vector<std::string> errors = d3d8::TakeGlDebugErrors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("GL error"), std::string::npos) << errors[0];
    EXPECT_NE(errors[0].find("INVALID_ENUM"), std::string::npos) << errors[0];
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_ENUM)) << "the error is still there for glGetError";
  }
  DestroyWindow(window);
  win32::ResetForTests();
}

// The demo's own device (InitD3D, head-less) with the stand-in mesh and image of the scene
// tests read by LoadAssets into every slot, so that each renderer draws and textures.
class GlDebugTimeline : public GlDebugContext {
 protected:
  void SetUp() override {
    GlDebugContext::SetUp();
    char folderTemplate[] = "/tmp/gl_debug_test_XXXXXX";
    ASSERT_NE(mkdtemp(folderTemplate), nullptr);
    folder_ = folderTemplate;
    fs::create_directory(folder_ / "Data");
    const fs::path fixtures = ORCHARD_TEST_FIXTURES "/scenes";
    const auto dataPath = [&](const char* name) { return folder_ / "Data" / std::string(name).substr(5); };
    for (int slot = 0; slot < kMeshCount; ++slot) fs::copy_file(fixtures / "two_subsets.x", dataPath(AssetNames[slot]));
    for (int name = kMeshCount; name < static_cast<int>(std::size(AssetNames)); ++name)
      fs::copy_file(fixtures / "stand_in.jpg", dataPath(AssetNames[name]));
    fs::copy_file(fixtures / "stand_in.jpg", dataPath(TreeTextureName));
    home_ = fs::current_path();
  }
  void TearDown() override {
    for (auto& slot : MeshTable) slot = MeshSlot{};
    for (auto& texture : SceneTextures) texture = nullptr;
    for (auto& texture : PictureTextures) texture = nullptr;
    TreeTexture = nullptr;
    showFps = false;
    Device = nullptr;
    FpsFont = nullptr;
    UseRenderDevice(nullptr);
    win32::ResetForTests();  // the last frame posts the quit
    if (!home_.empty()) fs::current_path(home_);
    if (!folder_.empty()) fs::remove_all(folder_);
    GlDebugContext::TearDown();
  }

  fs::path folder_, home_;
};

TEST_F(GlDebugTimeline, EveryFrameOfTheTimelineWithTheFrameRateTextMakesNoGlError) {
  UseRenderDevice(d3d8::CreateOpenGlDevice());
  ASSERT_EQ(InitD3D(DisplaySettingsRecord{}), S_OK);
  auto* device = dynamic_cast<d3d8::OpenGlDevice*>(Device);
  ASSERT_NE(device, nullptr);
  fs::current_path(folder_);
  ASSERT_TRUE(LoadAssets());
  fs::current_path(home_);
  for (const MeshSlot& slot : MeshTable) ASSERT_EQ(slot.subsetCount, 2u) << "a stand-in mesh was not read";
  ASSERT_NE(TreeTexture, nullptr) << "the stand-in image was not read";
  EXPECT_EQ(d3d8::TakeGlDebugErrors(), std::vector<std::string>{}) << "creating the device and loading";

  showFps = true;
  FpsValue = 88;
  std::vector<std::string> reports;  // the first few, each with the frame that made it
  for (std::int32_t t = -250; t <= kDemoEnd && reports.size() < 10; t += 250) {
    RenderFrame(t);
    for (const std::string& error : d3d8::TakeGlDebugErrors()) reports.push_back("t=" + std::to_string(t) + ": " + error);
  }
  device->Finish();
  for (const std::string& error : d3d8::TakeGlDebugErrors()) reports.push_back("at the end: " + error);
  EXPECT_EQ(reports, std::vector<std::string>{});
  GLint flags = 0;
  glGetIntegerv(GL_CONTEXT_FLAGS, &flags);
  EXPECT_NE(flags & GL_CONTEXT_FLAG_DEBUG_BIT, 0) << "the demo's device was not made on a debug context";
}

}  // namespace
