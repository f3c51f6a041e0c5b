// The chapel interior: light and camera at the edges of its six shots, and its draw list.
#include "tests/scenes/trace_reader.h"

namespace {

using scenetest::SceneLightValues;
using scenetest::Shot;

class ChapelInterior : public scenetest::SceneTrace {};

const SceneLightValues kInteriorLight{0.75f, 0.0f, 0.25f, {0.0f, 5.0f, 10.0f}, 100.0f};

// Expected values worked out in double precision from the closed formulas of each shot.
TEST_F(ChapelInterior, LightAndCameraFollowEachShot) {
  const Shot shots[] = {
      // The opening fades in over 5 s (the ramp still applies at 5000) and out from 10 s.
      {0, 0.0f, {-2.5f, 6.0f, 6.5f}, {-2.5f, 9.0f, 6.5f}},
      {2500, 0.5f, {-1.458333f, 6.0f, 6.5f}, {-1.458333f, 9.0f, 6.5f}},
      {5000, 1.0f, {-0.4166667f, 6.0f, 6.5f}, {-0.4166667f, 9.0f, 6.5f}},
      {10000, 1.0f, {1.666667f, 6.0f, 6.5f}, {1.666667f, 9.0f, 6.5f}},
      {11999, 0.0005f, {2.499583f, 6.0f, 6.5f}, {2.499583f, 9.0f, 6.5f}},
      // Later shots start at full light, with no fade-in.
      {122000, 1.0f, {1.5f, 1.75f, 2.4f}, {0.0f, 1.75f, 3.3f}},
      {129000, 1.0f, {0.7466872f, -2.484673f, 3.333333f}, {0.0f, 1.75f, 3.3f}},
      {131999, 0.0003333333f, {4.215405f, 5.282133f, 3.7332f}, {0.0f, 1.75f, 3.3f}},
      {132000, 1.0f, {5.0f, 1.75f, 4.3f}, {0.0f, 1.75f, 4.3f}},
      // Shot 3 turns clockwise: after 3 s the eye is at -85.7 degrees, not +85.7.
      {135000, 1.0f, {0.4184885f, -3.834341f, 5.5f}, {0.0f, 1.75f, 4.3f}},
      {142000, 1.0f, {0.0f, 7.0f, 4.5f}, {0.0f, 10.0f, 4.5f}},
      {149999, 0.0005f, {0.0f, 7.0f, 9.28982f}, {0.0f, 10.0f, 9.28982f}},
      {150000, 1.0f, {5.6f, 1.75f, 4.3f}, {0.0f, 1.75f, 4.3f}},
      {165000, 1.0f, {7.447818f, 6.05f, 8.711765f}, {0.0f, 1.75f, 4.3f}},
      {169999, 0.0002f, {1.658737f, -7.705409f, 10.18206f}, {0.0f, 1.75f, 4.3f}},
      {170000, 1.0f, {5.6f, 4.9f, 7.0f}, {0.0f, 4.9f, 2.5f}},
      // The last shot's eye sinks to 2.5 at 177875 and is held there.
      {177875, 0.03125f, {0.2910144f, 5.09445f, 2.5f}, {0.0f, 4.9f, 2.5f}},
      {177999, 0.00025f, {0.2049391f, 5.07166f, 2.5f}, {0.0f, 4.9f, 2.5f}},
  };
  for (const Shot& shot : shots) {
    Record([&] { RenderInteriorScene(shot.t); });
    ExpectShot(shot, kInteriorLight);
  }
}

TEST_F(ChapelInterior, DrawsTheChapelThenBothFiguresUnderOneMaterial) {
  const std::vector<std::string> drawList = {
      "SetTransform projection",
      "SetLight",
      "LightEnable 0 1",
      "SetTransform view",
      "MaterialInterior",
      "SetTexture Data\\kapelle_gesamt2.jpg",
      "DrawMesh Data\\kapelle_innen.x",
      "MaterialFigure",
      "SetTexture Data\\jesus.jpg",
      "DrawMesh Data\\jesus.x",
      "SetTexture Data\\woman.jpg",
      "DrawMesh Data\\woman.x",
  };
  // At f = 0 the light is still set and enabled.
  for (std::int32_t t : {0, 150000}) {
    SCOPED_TRACE("t = " + std::to_string(t));
    ExpectDrawList([&] { RenderInteriorScene(t); }, drawList);
  }
}

TEST_F(ChapelInterior, OutsideItsShotsOnlyTheProjectionIsSet) {
  for (std::int32_t t : {-1, 12000, 121999, 178000, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(DescribeCall([&] { RenderInteriorScene(t); }), std::vector<std::string>{"SetTransform projection"})
        << "t = " << t;
  }
}

}  // namespace
