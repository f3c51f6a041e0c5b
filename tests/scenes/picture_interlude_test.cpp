// The picture interlude: the fade of the light for each of the three calls the timeline makes,
// the draw list, and arguments the timeline never passes.
#include "tests/scenes/trace_reader.h"

namespace {

using scenetest::SceneLightValues;
using scenetest::Shot;

class PictureInterlude : public scenetest::SceneTrace {};

// The colours are f itself.
const SceneLightValues kPictureLight{1.0f, 1.0f, 1.0f, {0.0f, 250.0f, 250.0f}, 500.0f};
const D3DXVECTOR3 kEye{0.0f, 60.3f, 0.0f};
const D3DXVECTOR3 kOrigin{0.0f, 0.0f, 0.0f};

TEST_F(PictureInterlude, TheLightFadesInAndOutByTheCallsArguments) {
  struct Case {
    std::int32_t t;
    int picture;
    std::int32_t duration;
    std::int32_t fade;
    float f;
  };
  const Case cases[] = {
      // Picture 1 is given 8800 ms for a 6800 ms window: its last frame is at full light.
      {0, 1, 8800, 2000, 0.0f},
      {1000, 1, 8800, 2000, 0.5f},
      {2000, 1, 8800, 2000, 1.0f},
      {2001, 1, 8800, 2000, 1.0f},
      {6799, 1, 8800, 2000, 1.0f},
      {0, 2, 7000, 1500, 0.0f},
      {750, 2, 7000, 1500, 0.5f},
      {5500, 2, 7000, 1500, 1.0f},  // the fade-out starts from full light
      {6250, 2, 7000, 1500, 0.5f},
      {6999, 2, 7000, 1500, 1.0f / 1500},
      {1500, 3, 12000, 3000, 0.5f},
      {3000, 3, 12000, 3000, 1.0f},
      {9000, 3, 12000, 3000, 1.0f},
      {10500, 3, 12000, 3000, 0.5f},
      {11999, 3, 12000, 3000, 1.0f / 3000},
      // Where fade-in and fade-out overlap, the fade-out wins.
      {1200, 2, 2000, 1500, 8.0f / 15},  // fade-in alone would give 0.8
      // Past the duration the light goes on down; the timeline never gets there.
      {7750, 2, 7000, 1500, -0.5f},
  };
  for (const Case& c : cases) {
    Record([&] { RenderPicture(c.t, c.picture, c.duration, c.fade); });
    SCOPED_TRACE("picture " + std::to_string(c.picture));
    ExpectShot(Shot{c.t, c.f, kEye, kOrigin}, kPictureLight);
  }
}

TEST_F(PictureInterlude, DrawsThePictureMeshWithItsOwnMaterialAndPicture) {
  const char* pictures[] = {nullptr, "Data\\pic_sentry.jpg", "Data\\pic_waiting.jpg", "Data\\pic_greetings.jpg"};
  for (int picture = 1; picture <= 3; ++picture) {
    SCOPED_TRACE("picture " + std::to_string(picture));
    ExpectDrawList([&] { RenderPicture(1000, picture, 7000, 1500); },
                   {
                       "SetTransform projection",
                       "SetLight",
                       "LightEnable 0 1",
                       "PictureMaterial",
                       "SetTransform view",
                       std::string("SetTexture ") + pictures[picture],
                       "DrawMesh Data\\picture.x",
                   });
  }
}

TEST_F(PictureInterlude, ArgumentsTheTimelineNeverPassesDrawNothing) {
  struct Case {
    int picture;
    std::int32_t fade;
  };
  // Pictures are numbered 1 to 3; a fade of no length would divide by zero.
  const Case cases[] = {{0, 1500}, {4, 1500}, {-1, 1500}, {2, 0}, {2, -1500}};
  for (const Case& c : cases) {
    EXPECT_EQ(DescribeCall([&] { RenderPicture(1000, c.picture, 7000, c.fade); }),
              std::vector<std::string>{"SetTransform projection"})
        << "picture " << c.picture << ", fade " << c.fade;
  }
}

}  // namespace
