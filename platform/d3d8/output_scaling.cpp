#include "platform/d3d8/output_scaling.h"

#include <algorithm>
#include <cstdint>

namespace d3d8 {

namespace {

// The largest 4:3 rectangle in the drawable, centred, with bars of equal size on the two
// sides that have them.
PixelRect FittedRect(int drawableWidth, int drawableHeight) {
  PixelRect rect;
  const std::int64_t w = drawableWidth, h = drawableHeight;
  const bool barsLeftAndRight = w * 3 > h * 4;
  rect.width = barsLeftAndRight ? std::max(1, static_cast<int>(h * 4 / 3)) : drawableWidth;
  rect.height = barsLeftAndRight ? drawableHeight : std::max(1, static_cast<int>(w * 3 / 4));
  // Evens out the bars: the side with bars takes the drawable's parity. Shrinking is the
  // rule; a 1-pixel picture in an even drawable grows to 2, which still fits.
  int& side = barsLeftAndRight ? rect.width : rect.height;
  const int whole = barsLeftAndRight ? drawableWidth : drawableHeight;
  if ((whole - side) % 2 != 0) side += side > 1 ? -1 : 1;
  rect.x = (drawableWidth - rect.width) / 2;
  rect.y = (drawableHeight - rect.height) / 2;
  return rect;
}

PixelRect Centred(int width, int height, int drawableWidth, int drawableHeight) {
  return {(drawableWidth - width) / 2, (drawableHeight - height) / 2, width, height};
}

}  // namespace

void RenderSizeFor(OutputScaling scaling, int drawableWidth, int drawableHeight, int& width, int& height) {
  drawableWidth = std::max(1, drawableWidth);
  drawableHeight = std::max(1, drawableHeight);
  switch (scaling) {
    case OutputScaling::Stretch:
      width = drawableWidth;
      height = drawableHeight;
      return;
    case OutputScaling::Fit: {
      const PixelRect rect = FittedRect(drawableWidth, drawableHeight);
      width = rect.width;
      height = rect.height;
      return;
    }
    case OutputScaling::Integer:
      width = kIntegerBaseWidth;
      height = kIntegerBaseHeight;
      return;
  }
}

PixelRect OutputRectFor(OutputScaling scaling, int width, int height, int drawableWidth, int drawableHeight) {
  drawableWidth = std::max(1, drawableWidth);
  drawableHeight = std::max(1, drawableHeight);
  switch (scaling) {
    case OutputScaling::Stretch:
      return {0, 0, drawableWidth, drawableHeight};
    case OutputScaling::Fit:
      break;
    case OutputScaling::Integer: {
      const int factor = std::min(drawableWidth / std::max(1, width), drawableHeight / std::max(1, height));
      // An odd number of pixels over is split with the extra pixel on the right or below:
      // whole factors leave no choice.
      if (factor >= 1) return Centred(width * factor, height * factor, drawableWidth, drawableHeight);
      break;
    }
  }
  return FittedRect(drawableWidth, drawableHeight);
}

}  // namespace d3d8
