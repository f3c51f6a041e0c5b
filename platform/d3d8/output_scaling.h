// How a back buffer is shown in a window's drawable, and what size it should be rendered at
// to be shown sharp there.
#pragma once

namespace d3d8 {

enum class OutputScaling {
  Stretch,  // the back buffer fills the drawable, whatever its shape
  Fit,      // the largest 4:3 picture that fits, centred, black bars on two sides
  Integer,  // the base picture times the largest whole factor that fits, centred
};

// The base picture of integer scaling: the smallest size the demo offers.
inline constexpr int kIntegerBaseWidth = 640;
inline constexpr int kIntegerBaseHeight = 480;

struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;  // x, y from the top left

  bool operator==(const PixelRect&) const = default;
};

// The size to render at for a drawable of that size: the drawable itself for Stretch, its
// largest 4:3 part for Fit, the base picture for Integer. Never below 1 x 1.
void RenderSizeFor(OutputScaling scaling, int drawableWidth, int drawableHeight, int& width, int& height);

// Where a picture of width x height goes in the drawable. Fit's bars on opposite sides are
// always of equal size: the picture is made one pixel narrower or shorter when it would
// leave an odd number of pixels over. Integer centres the scaled picture (an odd pixel
// over goes to the right or below) and falls back to Fit when not even factor 1 fits.
PixelRect OutputRectFor(OutputScaling scaling, int width, int height, int drawableWidth, int drawableHeight);

}  // namespace d3d8
