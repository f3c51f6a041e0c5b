// Where a picture goes on today's screens: fit keeps 4:3 with even bars, stretch fills,
// integer takes whole factors of 640 x 480.
#include <gtest/gtest.h>

#include "platform/d3d8/output_scaling.h"

namespace {

using d3d8::OutputScaling;
using d3d8::PixelRect;

struct Case {
  OutputScaling scaling;
  int drawableWidth, drawableHeight;
  int renderWidth, renderHeight;  // what the scenes render at
  PixelRect shown;                // where it goes
};

const Case kCases[] = {
    // 16:9: bars of 240 on both sides, none above or below.
    {OutputScaling::Fit, 1920, 1080, 1440, 1080, {240, 0, 1440, 1080}},
    // 4:3: no bars at all.
    {OutputScaling::Fit, 1440, 1080, 1440, 1080, {0, 0, 1440, 1080}},
    {OutputScaling::Fit, 800, 600, 800, 600, {0, 0, 800, 600}},
    // 5:4: bars above and below.
    {OutputScaling::Fit, 1280, 1024, 1280, 960, {0, 32, 1280, 960}},
    // An odd width left over: one pixel narrower, so the bars stay equal.
    {OutputScaling::Fit, 1001, 600, 799, 600, {101, 0, 799, 600}},
    {OutputScaling::Stretch, 1920, 1080, 1920, 1080, {0, 0, 1920, 1080}},
    // Integer: 640 x 480 twice at 1920 x 1080, three times at 2560 x 1440.
    {OutputScaling::Integer, 1920, 1080, 640, 480, {320, 60, 1280, 960}},
    {OutputScaling::Integer, 2560, 1440, 640, 480, {320, 0, 1920, 1440}},
    // Smaller than the base: fitted instead.
    {OutputScaling::Integer, 400, 300, 640, 480, {0, 0, 400, 300}},
};

TEST(OutputScaling, RenderSizeAndPlaceOnTheScreen) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(::testing::Message() << "scaling " << static_cast<int>(c.scaling) << " at " << c.drawableWidth
                                      << "x" << c.drawableHeight);
    int width = 0, height = 0;
    d3d8::RenderSizeFor(c.scaling, c.drawableWidth, c.drawableHeight, width, height);
    EXPECT_EQ(width, c.renderWidth);
    EXPECT_EQ(height, c.renderHeight);
    EXPECT_EQ(d3d8::OutputRectFor(c.scaling, width, height, c.drawableWidth, c.drawableHeight), c.shown);
  }
}

TEST(OutputScaling, FitLeavesEqualBarsAtEverySize) {
  for (int w = 1; w <= 1200; w += 7) {
    for (int h : {1, 3, 480, 601, 1080}) {
      int width = 0, height = 0;
      d3d8::RenderSizeFor(OutputScaling::Fit, w, h, width, height);
      const PixelRect shown = d3d8::OutputRectFor(OutputScaling::Fit, width, height, w, h);
      ASSERT_GE(shown.width, 1);
      ASSERT_GE(shown.height, 1);
      ASSERT_EQ(shown.x * 2 + shown.width, w) << w << "x" << h;
      ASSERT_EQ(shown.y * 2 + shown.height, h) << w << "x" << h;
    }
  }
}

}  // namespace
