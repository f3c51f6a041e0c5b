#include "platform/win32/canvas.h"

#include <algorithm>

namespace win32 {

Canvas::Canvas(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * height_, 0xFF000000u) {}

std::uint32_t Canvas::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void Canvas::Pixel(int x, int y, std::uint32_t colour) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<std::size_t>(y) * width_ + x] = colour;
}

void Canvas::Blend(int x, int y, std::uint32_t colour, int coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0) return;
  if (coverage >= 255) return Pixel(x, y, colour);
  std::uint32_t& target = pixels_[static_cast<std::size_t>(y) * width_ + x];
  std::uint32_t mixed = 0xFF000000u;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int over = static_cast<int>((colour >> shift) & 0xFF);
    const int under = static_cast<int>((target >> shift) & 0xFF);
    const int value = under + ((over - under) * coverage + 127) / 255;
    mixed |= static_cast<std::uint32_t>(value) << shift;
  }
  target = mixed;
}

void Canvas::Fill(const RECT& rect, std::uint32_t colour) {
  const int x0 = std::max<int>(rect.left, 0), x1 = std::min<int>(rect.right, width_);
  const int y0 = std::max<int>(rect.top, 0), y1 = std::min<int>(rect.bottom, height_);
  for (int y = y0; y < y1; ++y)
    std::fill_n(pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_ + x0,
                std::max(x1 - x0, 0), colour);
}

void Canvas::HLine(int x0, int x1, int y, std::uint32_t colour) {
  Fill(RECT{x0, y, x1, y + 1}, colour);
}

void Canvas::VLine(int x, int y0, int y1, std::uint32_t colour) {
  Fill(RECT{x, y0, x + 1, y1}, colour);
}

void Canvas::Frame(const RECT& rect, std::uint32_t topLeft, std::uint32_t bottomRight) {
  HLine(rect.left, rect.right - 1, rect.top, topLeft);
  VLine(rect.left, rect.top, rect.bottom - 1, topLeft);
  HLine(rect.left, rect.right, rect.bottom - 1, bottomRight);
  VLine(rect.right - 1, rect.top, rect.bottom, bottomRight);
}

void Canvas::DottedFrame(const RECT& rect, std::uint32_t colour) {
  for (int x = rect.left; x < rect.right; x += 2) {
    Pixel(x, rect.top, colour);
    Pixel(x, rect.bottom - 1, colour);
  }
  for (int y = rect.top; y < rect.bottom; y += 2) {
    Pixel(rect.left, y, colour);
    Pixel(rect.right - 1, y, colour);
  }
}

void Canvas::Draw(const Image& image, int x, int y) {
  for (int row = 0; row < image.height; ++row)
    for (int column = 0; column < image.width; ++column)
      Pixel(x + column, y + row,
            image.pixels[static_cast<std::size_t>(row) * image.width + column]);
}

}  // namespace win32
