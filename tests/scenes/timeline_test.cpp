// The timeline: which renderer runs at each window edge, and with which arguments.
#include <gtest/gtest.h>

#include "scenes/frame_driver.h"

namespace {

using enum SceneRenderer;

struct Case {
  std::int32_t clock;
  TimelineCall expected;
};

TEST(Timeline, EveryWindowEdgeCallsTheRightRendererWithItsOwnTime) {
  const Case cases[] = {
      {-1, {None, 0}},
      {0, {Interior, 0}},
      {11999, {Interior, 11999}},
      {12000, {Exterior, 0}},
      {49999, {Exterior, 37999}},
      {50000, {Picture, 0, 1, 8800, 2000}},
      // Picture 1 gets 8800 ms for a 6800 ms window: its last frame is still at full light.
      {56799, {Picture, 6799, 1, 8800, 2000}},
      {56800, {Exterior, 56800}},
      {114999, {Exterior, 114999}},
      {115000, {Picture, 0, 2, 7000, 1500}},
      {121999, {Picture, 6999, 2, 7000, 1500}},
      {122000, {Interior, 122000}},
      {177999, {Interior, 177999}},
      {178000, {Picture, 0, 3, 12000, 3000}},
      {189999, {Picture, 11999, 3, 12000, 3000}},
      {190000, {Exterior, 190000}},
      {259999, {Exterior, 259999}},
      {260000, {Finale, 0}},
      {293999, {Finale, 33999}},
      {294000, {None, 0}},
      {INT32_MIN, {None, 0}},
      {INT32_MAX, {None, 0}},
  };
  for (const auto& c : cases) {
    const TimelineCall call = TimelineCallAt(c.clock);
    SCOPED_TRACE("DemoClock " + std::to_string(c.clock));
    EXPECT_EQ(call.renderer, c.expected.renderer);
    EXPECT_EQ(call.t, c.expected.t);
    EXPECT_EQ(call.picture, c.expected.picture);
    EXPECT_EQ(call.duration, c.expected.duration);
    EXPECT_EQ(call.fade, c.expected.fade);
  }
}

}  // namespace
