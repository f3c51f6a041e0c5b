#include "tools/datagen/canvas.h"

#include <algorithm>

#include "tools/datagen/dmath.h"

namespace datagen {

void Mask::Clear() {
  for (int y = std::max(y0_, 0); y <= y1_ && y < height_; ++y)
    for (int x = std::max(x0_, 0); x <= x1_ && x < width_; ++x)
      value_[static_cast<std::size_t>(y) * width_ + x] = 0;
  x0_ = y0_ = 1 << 30;
  x1_ = y1_ = -1;
}

void Mask::FillPolygon(const std::vector<Point>& points, double opacity) {
  const std::size_t n = points.size();
  if (n < 3) return;
  double minY = points[0].y, maxY = points[0].y, minX = points[0].x, maxX = points[0].x;
  for (const Point& p : points) {
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
  }
  const int y0 = std::max(0, static_cast<int>(dm::Floor(minY)));
  const int y1 = std::min(height_ - 1, static_cast<int>(dm::Floor(maxY)));
  const int xa0 = std::max(0, static_cast<int>(dm::Floor(minX)));
  const int xa1 = std::min(width_ - 1, static_cast<int>(dm::Floor(maxX)));
  if (y0 > y1 || xa0 > xa1) return;
  Touch(xa0, y0, xa1, y1);
  constexpr int kSub = 8;
  constexpr double kWeight = 1.0 / kSub;
  std::vector<double> row(width_ + 1);
  std::vector<double> crossings;
  for (int y = y0; y <= y1; ++y) {
    std::fill(row.begin() + xa0, row.begin() + xa1 + 2, 0.0);
    bool any = false;
    for (int s = 0; s < kSub; ++s) {
      const double sy = y + (s + 0.5) / kSub;
      crossings.clear();
      for (std::size_t i = 0; i < n; ++i) {
        const Point a = points[i], b = points[(i + 1) % n];
        if ((a.y <= sy && sy < b.y) || (b.y <= sy && sy < a.y))
          crossings.push_back(a.x + (sy - a.y) * (b.x - a.x) / (b.y - a.y));
      }
      std::sort(crossings.begin(), crossings.end());
      for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
        const double xa = dm::Clamp(crossings[k], 0, width_);
        const double xb = dm::Clamp(crossings[k + 1], 0, width_);
        if (xb <= xa) continue;
        any = true;
        const int ia = static_cast<int>(dm::Floor(xa)), ib = static_cast<int>(dm::Floor(xb));
        if (ia == ib) {
          row[ia] += (xb - xa) * kWeight;
          continue;
        }
        row[ia] += (ia + 1 - xa) * kWeight;
        for (int i = ia + 1; i < ib; ++i) row[i] += kWeight;
        row[ib] += (xb - ib) * kWeight;
      }
    }
    if (!any) continue;
    for (int x = xa0; x <= xa1; ++x) {
      const float c = static_cast<float>(std::min(1.0, row[x]) * opacity);
      float& v = value_[static_cast<std::size_t>(y) * width_ + x];
      if (c > v) v = c;
    }
  }
}

void Mask::FillEllipse(Point center, double rx, double ry, double opacity, double rotation) {
  const int n = std::clamp(static_cast<int>(dm::kTwoPi * std::max(rx, ry) / 1.5), 12, 720);
  double sr, cr;
  dm::SinCos(rotation, sr, cr);
  std::vector<Point> points(n);
  for (int i = 0; i < n; ++i) {
    double s, c;
    dm::SinCos(dm::kTwoPi * i / n, s, c);
    const double x = rx * c, y = ry * s;
    points[i] = {center.x + x * cr - y * sr, center.y + x * sr + y * cr};
  }
  FillPolygon(points, opacity);
}

void Mask::Stroke(const std::vector<Point>& points, double width0, double width1,
                  double opacity) {
  const std::size_t n = points.size();
  if (n == 0) return;
  auto widthAt = [&](std::size_t i) {
    return n > 1 ? width0 + (width1 - width0) * static_cast<double>(i) / (n - 1) : width0;
  };
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const Point a = points[i], b = points[i + 1];
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len = dm::Sqrt(dx * dx + dy * dy);
    if (len <= 0) continue;
    const double nx = -dy / len, ny = dx / len;
    const double wa = widthAt(i) / 2, wb = widthAt(i + 1) / 2;
    FillPolygon({{a.x + nx * wa, a.y + ny * wa},
                 {b.x + nx * wb, b.y + ny * wb},
                 {b.x - nx * wb, b.y - ny * wb},
                 {a.x - nx * wa, a.y - ny * wa}},
                opacity);
  }
  for (std::size_t i = 0; i < n; ++i)
    if (widthAt(i) > 1.5) FillCircle(points[i], widthAt(i) / 2, opacity);
}

void Mask::Blur(int radius, int passes) {
  if (radius <= 0) return;
  std::vector<float> line;
  auto blurLine = [&](auto get, auto set, int count) {
    line.resize(count);
    for (int i = 0; i < count; ++i) line[i] = get(i);
    double sum = 0;
    for (int i = -radius; i <= radius; ++i) sum += line[std::clamp(i, 0, count - 1)];
    const double norm = 1.0 / (2 * radius + 1);
    for (int i = 0; i < count; ++i) {
      set(i, static_cast<float>(sum * norm));
      sum += line[std::clamp(i + radius + 1, 0, count - 1)] - line[std::clamp(i - radius, 0, count - 1)];
    }
  };
  for (int p = 0; p < passes; ++p) {
    for (int y = 0; y < height_; ++y)
      blurLine([&](int i) { return At(i, y); }, [&](int i, float v) { At(i, y) = v; }, width_);
    for (int x = 0; x < width_; ++x)
      blurLine([&](int i) { return At(x, i); }, [&](int i, float v) { At(x, i) = v; }, height_);
  }
}

Canvas::Canvas(int width, int height, Color fill)
    : width_(width), height_(height), rgb_(static_cast<std::size_t>(width) * height * 3) {
  for (std::size_t i = 0; i < rgb_.size(); i += 3) {
    rgb_[i] = static_cast<float>(fill.r);
    rgb_[i + 1] = static_cast<float>(fill.g);
    rgb_[i + 2] = static_cast<float>(fill.b);
  }
}

Color Canvas::At(int x, int y) const {
  const std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * 3;
  return {rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

void Canvas::Set(int x, int y, Color c) {
  const std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * 3;
  rgb_[i] = static_cast<float>(c.r);
  rgb_[i + 1] = static_cast<float>(c.g);
  rgb_[i + 2] = static_cast<float>(c.b);
}

Color Canvas::Sample(double x, double y) const {
  x = dm::Clamp(x - 0.5, 0, width_ - 1);
  y = dm::Clamp(y - 0.5, 0, height_ - 1);
  const int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
  const int x1 = std::min(x0 + 1, width_ - 1), y1 = std::min(y0 + 1, height_ - 1);
  const double tx = x - x0, ty = y - y0;
  return Mix(Mix(At(x0, y0), At(x1, y0), tx), Mix(At(x0, y1), At(x1, y1), tx), ty);
}

void Canvas::Shade(const std::function<Color(int, int, Color)>& shader) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) Set(x, y, shader(x, y, At(x, y)));
}

void Canvas::Composite(const Mask& mask, const std::function<Color(int, int)>& color,
                       double opacity) {
  const int x0 = std::max(mask.touchedX0(), 0), y0 = std::max(mask.touchedY0(), 0);
  const int x1 = std::min({mask.touchedX1(), width_ - 1, mask.width() - 1});
  const int y1 = std::min({mask.touchedY1(), height_ - 1, mask.height() - 1});
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const double a = mask.At(x, y) * opacity;
      if (a <= 0) continue;
      Set(x, y, Mix(At(x, y), color(x, y), a));
    }
}

void Canvas::Composite(const Mask& mask, Color color, double opacity) {
  Composite(mask, [color](int, int) { return color; }, opacity);
}

Canvas Canvas::Resized(int width, int height) const {
  Canvas out(width, height);
  if (width > width_ || height > height_) {
    const double sx = static_cast<double>(width_) / width, sy = static_cast<double>(height_) / height;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) out.Set(x, y, Sample((x + 0.5) * sx, (y + 0.5) * sy));
    return out;
  }
  // Area average: each target pixel is the mean of the source area it covers.
  auto weights = [](int from, int to) {
    std::vector<std::vector<std::pair<int, double>>> w(to);
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
      const double a = i * scale, b = (i + 1) * scale;
      for (int s = static_cast<int>(dm::Floor(a)); s < b && s < from; ++s) {
        const double overlap = std::min<double>(b, s + 1) - std::max<double>(a, s);
        if (overlap > 0) w[i].push_back({s, overlap / scale});
      }
    }
    return w;
  };
  const auto wx = weights(width_, width), wy = weights(height_, height);
  Canvas mid(width, height_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width; ++x) {
      Color c;
      for (auto [s, w] : wx[x]) c = c + At(s, y) * w;
      mid.Set(x, y, c);
    }
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      Color c;
      for (auto [s, w] : wy[y]) c = c + mid.At(x, s) * w;
      out.Set(x, y, c);
    }
  return out;
}

void Canvas::Kuwahara(int radius) {
  const int w = width_, h = height_;
  const int sw = w + 1;
  // Summed-area tables of r, g, b and luminance squared.
  std::vector<double> sum[4];
  for (auto& s : sum) s.assign(static_cast<std::size_t>(sw) * (h + 1), 0.0);
  for (int y = 0; y < h; ++y) {
    double row[4] = {0, 0, 0, 0};
    for (int x = 0; x < w; ++x) {
      const Color c = At(x, y);
      const double l = 0.3 * c.r + 0.59 * c.g + 0.11 * c.b;
      const double v[4] = {c.r, c.g, c.b, l * l};
      for (int k = 0; k < 4; ++k) {
        row[k] += v[k];
        sum[k][(y + 1) * sw + x + 1] = sum[k][y * sw + x + 1] + row[k];
      }
    }
  }
  auto area = [&](int k, int x0, int y0, int x1, int y1) {  // inclusive, clamped
    x0 = std::clamp(x0, 0, w - 1);
    x1 = std::clamp(x1, 0, w - 1);
    y0 = std::clamp(y0, 0, h - 1);
    y1 = std::clamp(y1, 0, h - 1);
    return sum[k][(y1 + 1) * sw + x1 + 1] - sum[k][y0 * sw + x1 + 1] -
           sum[k][(y1 + 1) * sw + x0] + sum[k][y0 * sw + x0];
  };
  std::vector<float> out(rgb_.size());
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      double best = 1e300;
      Color bestMean;
      const int qx[4][2] = {{x - radius, x}, {x, x + radius}, {x - radius, x}, {x, x + radius}};
      const int qy[4][2] = {{y - radius, y}, {y - radius, y}, {y, y + radius}, {y, y + radius}};
      for (int q = 0; q < 4; ++q) {
        const int x0 = std::max(qx[q][0], 0), x1 = std::min(qx[q][1], w - 1);
        const int y0 = std::max(qy[q][0], 0), y1 = std::min(qy[q][1], h - 1);
        const double count = static_cast<double>(x1 - x0 + 1) * (y1 - y0 + 1);
        const Color mean{area(0, x0, y0, x1, y1) / count, area(1, x0, y0, x1, y1) / count,
                         area(2, x0, y0, x1, y1) / count};
        const double l = 0.3 * mean.r + 0.59 * mean.g + 0.11 * mean.b;
        const double variance = area(3, x0, y0, x1, y1) / count - l * l;
        if (variance < best) {
          best = variance;
          bestMean = mean;
        }
      }
      const std::size_t i = (static_cast<std::size_t>(y) * w + x) * 3;
      out[i] = static_cast<float>(bestMean.r);
      out[i + 1] = static_cast<float>(bestMean.g);
      out[i + 2] = static_cast<float>(bestMean.b);
    }
  }
  rgb_.swap(out);
}

std::vector<std::uint8_t> Canvas::ToRgb8() const {
  std::vector<std::uint8_t> bytes(rgb_.size());
  for (std::size_t i = 0; i < rgb_.size(); ++i)
    bytes[i] = static_cast<std::uint8_t>(dm::Floor(dm::Clamp(rgb_[i], 0, 1) * 255 + 0.5));
  return bytes;
}

}  // namespace datagen
