#include "tools/box_filter.h"

#include <algorithm>

namespace orchard {

d3dx::Image BoxFilterDown(const d3dx::Image& large, int factor) {
  if (factor <= 1) return large;
  d3dx::Image small;
  small.width = large.width / factor;
  small.height = large.height / factor;
  small.rgba.resize(static_cast<std::size_t>(small.width) * small.height * 4);
  const std::uint32_t count = static_cast<std::uint32_t>(factor * factor);
  std::vector<std::uint32_t> sums(static_cast<std::size_t>(small.width) * 4);
  const std::size_t largeRow = static_cast<std::size_t>(large.width) * 4;
  for (int y = 0; y < small.height; ++y) {
    std::fill(sums.begin(), sums.end(), 0u);
    for (int dy = 0; dy < factor; ++dy) {
      const std::uint8_t* row = large.rgba.data() + (static_cast<std::size_t>(y) * factor + dy) * largeRow;
      for (int x = 0; x < small.width; ++x) {
        std::uint32_t* sum = &sums[static_cast<std::size_t>(x) * 4];
        const std::uint8_t* block = row + static_cast<std::size_t>(x) * factor * 4;
        for (int dx = 0; dx < factor; ++dx, block += 4) {
          sum[0] += block[0];
          sum[1] += block[1];
          sum[2] += block[2];
          sum[3] += block[3];
        }
      }
    }
    std::uint8_t* out = small.rgba.data() + static_cast<std::size_t>(y) * small.width * 4;
    for (std::size_t i = 0; i < sums.size(); ++i)
      out[i] = static_cast<std::uint8_t>((sums[i] + count / 2) / count);
  }
  return small;
}

void ToRgb24(const d3dx::Image& image, std::vector<std::uint8_t>& rgb) {
  const std::size_t pixels = static_cast<std::size_t>(image.width) * image.height;
  rgb.resize(pixels * 3);
  const std::uint8_t* in = image.rgba.data();
  std::uint8_t* out = rgb.data();
  for (std::size_t i = 0; i < pixels; ++i, in += 4, out += 3) {
    out[0] = in[0];
    out[1] = in[1];
    out[2] = in[2];
  }
}

}  // namespace orchard
