// The exterior landscape: light and camera at the edges of its 15 shots, its draw list, and
// the monk who leaves with the first frame of shot 6.
#include <algorithm>

#include "tests/scenes/trace_reader.h"

namespace {

using scenetest::SceneLightValues;
using scenetest::Shot;

class ExteriorLandscape : public scenetest::SceneTrace {
 protected:
  bool DrawsTheMonk(std::int32_t t) {
    const std::vector<std::string> calls = DescribeCall([&] { RenderExteriorScene(t); });
    return std::find(calls.begin(), calls.end(), "MaterialFigure") != calls.end();
  }
};

const SceneLightValues kExteriorLight{0.95f, 0.5f, 0.75f, {50.0f, 300.0f, 300.0f}, 5000.0f};

// Expected values worked out in double precision from the closed formulas of each shot.
TEST_F(ExteriorLandscape, LightAndCameraFollowEachShot) {
  const Shot shots[] = {
      {0, 1.0f, {43.5f, 24.0f, 13.0f}, {31.5f, 24.0f, 16.0f}},
      {2000, 1.0f, {33.58378f, 35.81769f, 13.0f}, {31.5f, 24.0f, 16.0f}},
      {2750, 0.5f, {27.39576f, 35.27631f, 13.0f}, {31.5f, 24.0f, 16.0f}},
      {3499, 0.0006666667f, {22.31285f, 31.71987f, 13.0f}, {31.5f, 24.0f, 16.0f}},
      // Shot 2 circles clockwise and rises.
      {3500, 1.0f, {71.5f, 12.0f, 10.0f}, {31.5f, 12.0f, 10.0f}},
      {11500, 1.0f, {5.032566f, 41.99125f, 18.0f}, {31.5f, 12.0f, 10.0f}},
      {13799, 0.0004347826f, {47.9333f, 48.46843f, 20.299f}, {31.5f, 12.0f, 10.0f}},
      // Shot 3 fades from 500 ms before its end, so its last frame is still lit at 2/3.
      {13800, 1.0f, {43.5f, 24.0f, 18.0f}, {31.5f, 24.0f, 16.0f}},
      {16799, 1.0f, {25.50726f, 34.39649f, 18.0f}, {31.5f, 24.0f, 16.0f}},
      {17299, 0.6673333f, {22.31285f, 31.71987f, 18.0f}, {31.5f, 24.0f, 16.0f}},
      {17300, 1.0f, {40.0f, 43.0f, 3.3f}, {40.0f, 40.0f, 3.5f}},
      {28000, 1.0f, {4.333333f, 43.0f, 3.3f}, {4.333333f, 40.0f, 3.5f}},
      {29999, 0.0005f, {-2.33f, 43.0f, 3.3f}, {-2.33f, 40.0f, 3.5f}},
      {30000, 1.0f, {0.5f, 33.0f, 3.0f}, {-2.0f, 33.0f, 3.5f}},
      {35000, 1.0f, {-0.5859828f, 35.06169f, 3.0f}, {-2.0f, 33.0f, 3.5f}},
      {37999, 0.0003333333f, {-1.951037f, 35.49952f, 3.0f}, {-2.0f, 33.0f, 3.5f}},
      {56800, 1.0f, {43.5f, 24.0f, 16.0f}, {31.5f, 24.0f, 16.0f}},
      {59000, 1.0f, {31.76524f, 31.59537f, 20.4f}, {31.5f, 24.0f, 16.0f}},
      {59999, 0.001f, {28.05415f, 28.41684f, 22.398f}, {31.5f, 24.0f, 16.0f}},
      {60000, 1.0f, {-17.0f, -7.5f, 4.0f}, {-20.0f, -7.5f, 3.5f}},
      {66000, 1.0f, {-17.0f, 5.629103f, 4.0f}, {-20.0f, 5.629103f, 3.5f}},
      {67999, 0.0005f, {-17.0f, 10.00328f, 4.0f}, {-20.0f, 10.00328f, 3.5f}},
      {68000, 1.0f, {18.0f, 10.0f, 4.0f}, {15.0f, 10.0f, 3.5f}},
      {75999, 0.0005f, {18.0f, -7.503282f, 4.0f}, {15.0f, -7.503282f, 3.5f}},
      {76000, 1.0f, {25.0f, -10.5f, 3.7f}, {25.0f, -3.0f, 3.5f}},
      {83999, 0.0005f, {38.33167f, -10.5f, 3.7f}, {38.33167f, -3.0f, 3.5f}},
      {84000, 1.0f, {33.0f, -30.0f, 6.25f}, {25.0f, -30.0f, 5.5f}},
      {91999, 0.0005f, {33.0f, -14.9925f, 6.25f}, {25.0f, -14.9925f, 5.5f}},
      {92000, 1.0f, {12.0f, 0.0f, 5.0f}, {0.0f, 0.0f, 5.0f}},
      {110000, 1.0f, {-51.35523f, 24.73137f, 41.0f}, {0.0f, 0.0f, 5.0f}},
      {114999, 0.0002f, {31.67466f, -61.85967f, 50.998f}, {0.0f, 0.0f, 5.0f}},
      {190000, 1.0f, {10.7f, -20.5f, 18.5f}, {-19.3f, -20.5f, 8.5f}},
      {207000, 1.0f, {-6.736871f, -31.04172f, 10.0f}, {-19.3f, -20.5f, 8.5f}},
      {209999, 0.0003333333f, {-16.85916f, -6.713604f, 8.5005f}, {-19.3f, -20.5f, 8.5f}},
      // Shot 13 starts black, with the light still set, and fades in and out over 5 s.
      {210000, 0.0f, {-12.0f, -20.5f, 10.0f}, {-15.0f, -20.5f, 10.0f}},
      {212500, 0.5f, {-12.0f, -20.5f, 9.0f}, {-15.0f, -20.5f, 9.0f}},
      {215000, 1.0f, {-12.0f, -20.5f, 8.0f}, {-15.0f, -20.5f, 8.0f}},
      {225000, 1.0f, {-12.0f, -20.5f, 4.0f}, {-15.0f, -20.5f, 4.0f}},
      {229999, 0.0002f, {-12.0f, -20.5f, 2.0004f}, {-15.0f, -20.5f, 2.0004f}},
      // Shot 14's light is a half sine, not clamped: slightly negative after its end at 19800.
      {230000, 0.0f, {-16.5f, -20.5f, 3.95f}, {-19.5f, -20.5f, 3.7f}},
      {239900, 1.0f, {-12.54f, -20.5f, 3.95f}, {-15.54f, -20.5f, 3.7f}},
      {249800, 0.0f, {-8.58f, -20.5f, 3.95f}, {-11.58f, -20.5f, 3.7f}},
      {249999, -0.03156935f, {-8.5004f, -20.5f, 3.95f}, {-11.5004f, -20.5f, 3.7f}},
      {250000, 1.0f, {12.0f, 0.0f, 5.0f}, {0.0f, 0.0f, 5.0f}},
      {257000, 1.0f, {103.7331f, -18.29094f, 98.33333f}, {0.0f, 0.0f, 5.0f}},
      {259999, 0.0003333333f, {-111.24f, 93.50701f, 138.32f}, {0.0f, 0.0f, 5.0f}},
  };
  for (const Shot& shot : shots) {
    Record([&] { RenderExteriorScene(shot.t); });
    ExpectShot(shot, kExteriorLight);
  }
}

TEST_F(ExteriorLandscape, DrawsChapelMonkTerrainSkyAndTrees) {
  std::vector<std::string> drawList = {
      "SetTransform projection",
      "SetLight",
      "LightEnable 0 1",
      "SetTransform view",
      "MaterialChapel",
      "SetTexture Data\\kapelle_gesamt2.jpg",
      "DrawMesh Data\\kapelle.x",
      "MaterialFigure",
      "SetTexture Data\\moench.jpg",
      "DrawMesh Data\\moench.x",
      "MaterialTerrain",
      "SetTexture Data\\terrain2.jpg",
      "DrawMesh Data\\terrain.x",
      "MaterialSky",
      "SetTexture Data\\sky.jpg",
      "DrawMesh Data\\skydome.x",
      "MaterialTree",
      // Blending and the alpha test on for the trees only; the reference 0x08000000.
      "SetRenderState 27 1",
      "SetRenderState 19 5",
      "SetRenderState 20 6",
      "SetRenderState 15 1",
      "SetRenderState 24 134217728",
      "SetRenderState 25 7",
      "SetTexture Data\\Treemaps.jpg",
      "DrawMesh Data\\tree.x",
      "SetRenderState 27 0",
      "SetRenderState 15 0",
  };
  ExpectDrawList([] { RenderExteriorScene(30000); }, drawList);

  // From the first frame of shot 6 on the list is the same without the monk.
  drawList.erase(drawList.begin() + 7, drawList.begin() + 10);
  ExpectDrawList([] { RenderExteriorScene(56800); }, drawList);
  ExpectDrawList([] { RenderExteriorScene(190000); }, drawList);
}

TEST_F(ExteriorLandscape, TheMonkLeavesWithTheFirstFrameOfShotSix) {
  EXPECT_TRUE(DrawsTheMonk(0));
  EXPECT_TRUE(DrawsTheMonk(37999));
  // A call between the shots changes nothing.
  Record([] { RenderExteriorScene(50000); });
  EXPECT_TRUE(MonkVisible);

  // The first frame that lands in shot 6 need not be its first millisecond.
  EXPECT_FALSE(DrawsTheMonk(57500)) << "the first frame of shot 6 already has no monk";
  EXPECT_FALSE(MonkVisible);
  for (std::int32_t t : {0, 37999, 59999, 60000, 114999, 190000, 259999})
    EXPECT_FALSE(DrawsTheMonk(t)) << "the monk came back at t = " << t;
}

TEST_F(ExteriorLandscape, TheMonkStaysWhenNoFrameLandsInShotSix) {
  // A stalled clock can jump over shot 6's 3200 ms.
  for (std::int32_t t : {37999, 60000, 114999, 190000, 259999})
    EXPECT_TRUE(DrawsTheMonk(t)) << "t = " << t;
}

TEST_F(ExteriorLandscape, OutsideItsShotsOnlyTheProjectionIsSet) {
  for (std::int32_t t : {-1, 38000, 56799, 115000, 189999, 260000, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(DescribeCall([&] { RenderExteriorScene(t); }), std::vector<std::string>{"SetTransform projection"})
        << "t = " << t;
  }
  EXPECT_TRUE(MonkVisible);
}

}  // namespace

TEST_F(ExteriorLandscape, RestoringTheStateForAClockShowsWhatARunReachingItShows) {
  // Jumping back before shot 6 brings the monk back; jumping past it sends him away.
  const struct {
    std::int32_t jumpTo;
    bool monk;
  } kJumps[] = {{200000, false}, {0, true}, {56799, true}, {56800, false}, {12000, true}, {60000, false}};
  for (const auto& jump : kJumps) {
    RestoreSceneStateAt(jump.jumpTo);
    EXPECT_EQ(MonkVisible, jump.monk) << "after a jump to " << jump.jumpTo;
  }
}
