// The finale: the fades, the camera that trails its target, circles it once and rises, and
// the draw list.
#include "tests/scenes/trace_reader.h"

namespace {

using scenetest::SceneLightValues;
using scenetest::Shot;

class Finale : public scenetest::SceneTrace {};

const SceneLightValues kFinaleLight{0.95f, 0.5f, 0.75f, {50.0f, 300.0f, 300.0f}, 5000.0f};

// Expected values worked out in double precision from the closed formulas.
TEST_F(Finale, LightAndCameraFollowTheTargetAlongMinusY) {
  const Shot shots[] = {
      {0, 0.0f, {0.0f, 506.0f, 5.0f}, {0.0f, 500.0f, 5.0f}},
      {3500, 0.5f, {0.0f, 387.3559f, 5.0f}, {0.0f, 381.3559f, 5.0f}},
      {7000, 1.0f, {0.0f, 268.7119f, 5.0f}, {0.0f, 262.7119f, 5.0f}},
      {7001, 1.0f, {0.0f, 268.678f, 5.0f}, {0.0f, 262.678f, 5.0f}},
      // The orbit starts and ends six units behind the target, without a jump.
      {9999, 1.0f, {0.0f, 167.0508f, 5.0f}, {0.0f, 161.0508f, 5.0f}},
      {10000, 1.0f, {0.0f, 167.0169f, 5.0f}, {0.0f, 161.0169f, 5.0f}},
      {13600, 1.0f, {-6.0f, 38.98305f, 5.0f}, {0.0f, 38.98305f, 5.0f}},
      {17200, 1.0f, {0.0f, -89.05085f, 5.0f}, {0.0f, -83.05085f, 5.0f}},
      {20800, 1.0f, {6.0f, -205.0847f, 5.0f}, {0.0f, -205.0847f, 5.0f}},
      {24399, 1.0f, {0.002617994f, -321.0847f, 5.0f}, {0.0f, -327.0847f, 5.0f}},
      {24400, 1.0f, {0.0f, -321.1186f, 5.0f}, {0.0f, -327.1186f, 5.0f}},
      // Then eye and target rise together.
      {29000, 1.0f, {0.0f, -477.0508f, 5.0f}, {0.0f, -483.0508f, 5.0f}},
      {29001, 1.0f, {0.0f, -477.0847f, 5.022222f}, {0.0f, -483.0847f, 5.022222f}},
      {30000, 1.0f, {0.0f, -510.9492f, 27.22222f}, {0.0f, -516.9492f, 27.22222f}},
      {32000, 0.5f, {0.0f, -578.7458f, 71.66667f}, {0.0f, -584.7458f, 71.66667f}},
      {33999, 0.00025f, {0.0f, -646.5085f, 116.0889f}, {0.0f, -652.5085f, 116.0889f}},
  };
  for (const Shot& shot : shots) {
    Record([&] { RenderFinale(shot.t); });
    ExpectShot(shot, kFinaleLight);
  }
}

TEST_F(Finale, TheRiseIsComputedInDoublePrecision) {
  // Outside the orbit the view's y axis is +z, so the view holds -height exactly. In single
  // precision the height at 30000 would come out as 27.2222233, one step off.
  Record([] { RenderFinale(30000); });
  const std::vector<float> view = scenetest::NumbersOf(TransformLine(D3DTS_VIEW), "m");
  ASSERT_EQ(view.size(), 16u);
  EXPECT_EQ(-view[13], static_cast<float>(245.0 / 9.0));
}

TEST_F(Finale, DrawsTheGateThenTheSkyDome) {
  ExpectDrawList([] { RenderFinale(20000); },
                 {
                     "SetTransform projection",
                     "SetLight",
                     "LightEnable 0 1",
                     "SetTransform view",
                     "MaterialGate",
                     "SetTexture Data\\heavensgate.jpg",
                     "DrawMesh Data\\heavensgate.x",
                     "MaterialSky",
                     "SetTexture Data\\heaven.jpg",
                     "DrawMesh Data\\skydome2.x",
                 });
}

}  // namespace
