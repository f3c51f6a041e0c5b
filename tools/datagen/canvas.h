// A small painting library for the textures and pictures: an RGB image of floats, coverage
// masks filled with anti-aliased polygons, and compositing of colours through masks.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace datagen {

struct Color {
  double r = 0, g = 0, b = 0;

  friend Color operator+(Color a, Color b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
  friend Color operator-(Color a, Color b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
  friend Color operator*(Color a, double s) { return {a.r * s, a.g * s, a.b * s}; }
  friend Color operator*(Color a, Color b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
};

inline Color Mix(Color a, Color b, double t) { return a + (b - a) * t; }
// From 0xRRGGBB.
inline Color Hex(std::uint32_t rgb) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

struct Point {
  double x = 0, y = 0;
};

// Coverage in [0, 1] per pixel. Shapes combine by maximum, so overlapping strokes of one
// mask do not darken where they meet.
class Mask {
 public:
  Mask(int width, int height)
      : width_(width), height_(height), value_(static_cast<std::size_t>(width) * height, 0.0f) {}

  int width() const { return width_; }
  int height() const { return height_; }
  float At(int x, int y) const { return value_[static_cast<std::size_t>(y) * width_ + x]; }
  // Writing through this marks the pixel as touched.
  float& At(int x, int y) {
    Touch(x, y, x, y);
    return value_[static_cast<std::size_t>(y) * width_ + x];
  }

  // The rectangle (inclusive) that drawing has touched since the last Clear; empty when
  // x0 > x1. Compositing and clearing only visit it.
  int touchedX0() const { return x0_; }
  int touchedY0() const { return y0_; }
  int touchedX1() const { return x1_; }
  int touchedY1() const { return y1_; }
  void Clear();

  // Even-odd fill with 8 sub-scanlines per pixel row and exact coverage along each.
  void FillPolygon(const std::vector<Point>& points, double opacity = 1);
  void FillEllipse(Point center, double rx, double ry, double opacity = 1, double rotation = 0);
  void FillCircle(Point center, double r, double opacity = 1) { FillEllipse(center, r, r, opacity); }
  // A polyline of the given width (tapering from width0 to width1), with round joins.
  void Stroke(const std::vector<Point>& points, double width0, double width1, double opacity = 1);
  // Box blur of the coverage, `passes` times (three passes approximate a Gaussian).
  void Blur(int radius, int passes = 3);

 private:
  void Touch(int x0, int y0, int x1, int y1) {
    if (x0 < x0_) x0_ = x0;
    if (y0 < y0_) y0_ = y0;
    if (x1 > x1_) x1_ = x1;
    if (y1 > y1_) y1_ = y1;
  }

  int width_, height_;
  std::vector<float> value_;
  int x0_ = 1 << 30, y0_ = 1 << 30, x1_ = -1, y1_ = -1;
};

class Canvas {
 public:
  Canvas(int width, int height, Color fill = {});

  int width() const { return width_; }
  int height() const { return height_; }
  Color At(int x, int y) const;
  void Set(int x, int y, Color c);
  // Bilinear sample at continuous pixel coordinates (pixel centres at +0.5), clamped.
  Color Sample(double x, double y) const;

  // Runs `shader(x, y, current)` for every pixel and stores the result.
  void Shade(const std::function<Color(int x, int y, Color current)>& shader);
  // Mixes `color(x, y)` in where the mask covers, by coverage times opacity.
  void Composite(const Mask& mask, const std::function<Color(int x, int y)>& color,
                 double opacity = 1);
  void Composite(const Mask& mask, Color color, double opacity = 1);
  // Box-filtered (downscale) or bilinear (upscale) resample to a new size.
  Canvas Resized(int width, int height) const;

  // A painterly filter: each pixel takes the mean of the least varied of the four
  // quadrants around it (Kuwahara), which flattens detail into brush-like patches.
  void Kuwahara(int radius);

  // 8-bit RGB, rows top first, each channel rounded from [0, 1].
  std::vector<std::uint8_t> ToRgb8() const;

 private:
  int width_, height_;
  std::vector<float> rgb_;
};

}  // namespace datagen
