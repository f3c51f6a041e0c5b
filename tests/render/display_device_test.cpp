// InitD3D's presentation parameters, states and font, and the D3DX matrices the scenes use.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "platform/d3dx/math.h"
#include "render/display_device.h"
#include "render/recording_device.h"

namespace {

std::vector<std::string> InitD3DTrace(DisplaySettingsRecord settings) {
  std::vector<std::string> lines;
  UseRenderDevice(std::make_unique<RecordingDevice>([&](const std::string& line) { lines.push_back(line); }));
  EXPECT_EQ(InitD3D(settings), S_OK);
  UseRenderDevice(nullptr);
  Device = nullptr;
  return lines;
}

DisplaySettingsRecord Settings(int width, int height, bool fullscreen, bool fsaa, bool anisotropic) {
  DisplaySettingsRecord settings;
  settings.width = width;
  settings.height = height;
  settings.fullscreen = fullscreen;
  settings.fsaa = fsaa;
  settings.anisotropic = anisotropic;
  return settings;
}

TEST(InitD3D, PresentationParametersFollowTheSettings) {
  struct Case {
    const char* what;
    DisplaySettingsRecord settings;
    const char* createDevice;
  } cases[] = {
      {"window", Settings(800, 600, false, false, false),
       R"({"op":"CreateDevice","width":800,"height":600,"windowed":1,"backBufferCount":1,"multiSample":0,"swapEffect":1,"depthFormat":80,"refresh":0,"behavior":32})"},
      {"antialiasing has no effect in a window", Settings(800, 600, false, true, false),
       R"({"op":"CreateDevice","width":800,"height":600,"windowed":1,"backBufferCount":1,"multiSample":0,"swapEffect":1,"depthFormat":80,"refresh":0,"behavior":32})"},
      {"full screen asks for 85 Hz", Settings(1024, 768, true, false, false),
       R"({"op":"CreateDevice","width":1024,"height":768,"windowed":0,"backBufferCount":1,"multiSample":0,"swapEffect":1,"depthFormat":80,"refresh":85,"behavior":32})"},
      {"full screen with antialiasing: 2 samples", Settings(640, 480, true, true, false),
       R"({"op":"CreateDevice","width":640,"height":480,"windowed":0,"backBufferCount":1,"multiSample":2,"swapEffect":1,"depthFormat":80,"refresh":85,"behavior":32})"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InitD3DTrace(c.settings).at(0), c.createDevice) << c.what;
  }
}

TEST(InitD3D, RenderStatesFiltersAndFontInOrder) {
  const std::vector<std::string> common = {
      R"({"op":"SetRenderState","state":22,"value":1})",
      R"({"op":"SetRenderState","state":137,"value":1})",
      R"({"op":"SetRenderState","state":7,"value":1})",
  };
  const std::string font = R"({"op":"CreateFont","height":-14,"weight":300,"face":"Arial"})";

  std::vector<std::string> linear = common;
  for (int type : {16, 17, 18})
    linear.push_back(R"({"op":"SetTextureStageState","stage":0,"type":)" + std::to_string(type) + R"(,"value":2})");
  linear.push_back(font);
  std::vector<std::string> lines = InitD3DTrace(Settings(800, 600, false, false, false));
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()), linear);

  std::vector<std::string> anisotropic = common;
  for (int type : {16, 17, 18})
    anisotropic.push_back(R"({"op":"SetTextureStageState","stage":0,"type":)" + std::to_string(type) + R"(,"value":3})");
  anisotropic.push_back(R"({"op":"SetTextureStageState","stage":0,"type":21,"value":2})");
  anisotropic.push_back(font);
  lines = InitD3DTrace(Settings(800, 600, false, false, true));
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()), anisotropic);
}

TEST(InitD3D, FailsWhenNoDirect3DObjectCanBeHad) {
  UseRenderDevice(nullptr);
  EXPECT_EQ(InitD3D(DisplaySettingsRecord{}), E_FAIL);
}

TEST(D3DXMatrices, StandardProjectionEntriesAreExact) {
  D3DXMATRIX m;
  D3DXMatrixPerspectiveFovRH(&m, 0.78539819f, 1.3333f, 1.0f, 5000.0f);
  EXPECT_FLOAT_EQ(m.m[0][0], 1.8107053f);
  EXPECT_FLOAT_EQ(m.m[1][1], 2.4142134f);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(m.m[2][2]), 0xBF80068Eu);
  EXPECT_EQ(m.m[2][3], -1.0f);
  EXPECT_FLOAT_EQ(m.m[3][2], -1.0002f);
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column) {
      const bool set = (row == column && row < 3) || (row == 2 && column == 3) || (row == 3 && column == 2);
      if (!set) {
        EXPECT_EQ(m.m[row][column], 0.0f) << row << "," << column;
      }
    }
}

TEST(D3DXMatrices, LookAtPutsTheTargetOnTheNegativeViewZAxis) {
  const D3DXVECTOR3 eye{10, 0, 0}, target{0, 0, 0}, up{0, 0, 1};
  D3DXMATRIX m;
  D3DXMatrixLookAtRH(&m, &eye, &target, &up);
  const float expected[4][4] = {{0, 0, 1, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -10, 1}};
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column)
      EXPECT_NEAR(m.m[row][column], expected[row][column], 1e-6f) << row << "," << column;
}

}  // namespace
