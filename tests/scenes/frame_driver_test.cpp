// RenderFrame's calls, seen through the recording device.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "platform/win32/win32.h"
#include "render/display_device.h"
#include "render/recording_device.h"
#include "scenes/frame_driver.h"

namespace {

std::vector<std::string> Lines;

// The op of a trace line: {"op":"Clear",...} gives Clear.
std::string OpOf(const std::string& line) {
  const auto start = line.find("\"op\":\"") + 6;
  return line.substr(start, line.find('"', start) - start);
}

class FrameDriver : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    auto device = std::make_unique<RecordingDevice>([](const std::string& line) { Lines.push_back(line); });
    RecordingDevice* recorder = device.get();
    win32::SetQuitObserver([recorder](int code) { recorder->RecordPostQuitMessage(code); });
    UseRenderDevice(std::move(device));
    ASSERT_EQ(InitD3D(DisplaySettingsRecord{}), S_OK);
  }

  // The ops of one frame rendered at t.
  std::vector<std::string> OpsOfFrame(std::int32_t t) {
    Lines.clear();
    RenderFrame(t);
    std::vector<std::string> ops;
    for (const auto& line : Lines) ops.push_back(OpOf(line));
    return ops;
  }

  void TearDown() override {
    showFps = false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
};

using Ops = std::vector<std::string>;

TEST_F(FrameDriver, BeforeTheTimelineAFrameIsOnlyClearedAndPresented) {
  EXPECT_EQ(OpsOfFrame(-1), (Ops{"Clear", "BeginScene", "EndScene", "Present"}));
  EXPECT_EQ(Lines.front(), R"({"op":"Clear","flags":3,"color":"0xff000080","z":1,"stencil":0})");
  EXPECT_FALSE(win32::QuitPending());
}

TEST_F(FrameDriver, TheEndOfTheDemoPostsTheQuitAndStillPresents) {
  EXPECT_EQ(OpsOfFrame(293999).back(), "Present");
  EXPECT_FALSE(win32::QuitPending()) << "293999 is still the finale";

  EXPECT_EQ(OpsOfFrame(294000), (Ops{"Clear", "BeginScene", "PostQuitMessage", "EndScene", "Present"}));
  EXPECT_TRUE(win32::QuitPending());
}

TEST_F(FrameDriver, TheFrameRateTextIsDrawnLastOnlyWhenAskedFor) {
  FpsValue = 0;
  for (const auto& op : OpsOfFrame(-1)) EXPECT_NE(op, "DrawText");

  showFps = true;
  const Ops ops = OpsOfFrame(294000);
  EXPECT_EQ(ops, (Ops{"Clear", "BeginScene", "PostQuitMessage", "DrawText", "EndScene", "Present"}));
  EXPECT_EQ(Lines[3], R"({"op":"DrawText","text":"FPS: 0","rect":[10,10,100,30],"format":1,"color":"0xffffffff"})");
}

TEST_F(FrameDriver, WithoutADeviceNothingHappens) {
  RenderDevice* device = Device;
  Device = nullptr;
  EXPECT_TRUE(OpsOfFrame(1000).empty());
  Device = device;
}

}  // namespace
