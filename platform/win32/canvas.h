// A software pixel buffer (0xAARRGGBB) that the dialogs of the layer are drawn into before
// they are copied to their window. Every operation clips to the buffer.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32/bitmap_file.h"
#include "platform/win32/types.h"

namespace win32 {

class Canvas {
 public:
  Canvas(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::vector<std::uint32_t>& Pixels() const { return pixels_; }
  std::uint32_t At(int x, int y) const;

  void Pixel(int x, int y, std::uint32_t colour);
  // Mixes `colour` over the pixel with coverage 0..255.
  void Blend(int x, int y, std::uint32_t colour, int coverage);
  void Fill(const RECT& rect, std::uint32_t colour);
  void HLine(int x0, int x1, int y, std::uint32_t colour);  // x0 .. x1-1
  void VLine(int x, int y0, int y1, std::uint32_t colour);  // y0 .. y1-1
  // A 1-pixel frame inside rect: top and left in `topLeft`, bottom and right in `bottomRight`.
  void Frame(const RECT& rect, std::uint32_t topLeft, std::uint32_t bottomRight);
  // The dotted focus rectangle: every other pixel along the inside of rect.
  void DottedFrame(const RECT& rect, std::uint32_t colour);
  void Draw(const Image& image, int x, int y);

 private:
  int width_;
  int height_;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace win32
