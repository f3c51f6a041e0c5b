// The mip chain: each level is the one before at half size (a side of 1 stays 1), down to
// 1 x 1. The filters are separable, so each step filters down the columns, then along
// the rows.
// All four channels are filtered alike: a keyed, transparent-black texel darkens and thins
// its neighbours in the smaller levels.
#include <algorithm>
#include <cmath>

#include "platform/d3dx/image.h"

namespace d3dx {

namespace {

struct Tap {
  int source;
  float weight;
};

// For one destination texel along an axis, the source texels that feed it.
using Taps = std::vector<Tap>;

int Clamp(int index, int size) { return std::clamp(index, 0, size - 1); }

// A tent as wide as two destination texels: at an exact halving, weights 1, 3, 3, 1 over
// four source texels, a little softer than the box.
Taps TriangleTaps(int target, double scale, int sourceSize) {
  const double centre = (target + 0.5) * scale - 0.5;
  Taps taps;
  for (int j = static_cast<int>(std::floor(centre - scale)); j <= centre + scale; ++j) {
    const double weight = scale - std::abs(j - centre);
    if (weight > 0) taps.push_back({Clamp(j, sourceSize), static_cast<float>(weight)});
  }
  return taps;
}

// The two source texels nearest the destination texel's centre; at an exact halving, the
// average of the pair.
Taps LinearTaps(int target, double scale, int sourceSize) {
  const double centre = (target + 0.5) * scale - 0.5;
  const double first = std::floor(centre);
  const auto fraction = static_cast<float>(centre - first);
  const int j = static_cast<int>(first);
  return {{Clamp(j, sourceSize), 1.0f - fraction}, {Clamp(j + 1, sourceSize), fraction}};
}

// The source texels under the destination texel, each weighted by how much of it is covered.
Taps BoxTaps(int target, double scale, int sourceSize) {
  const double begin = target * scale;
  const double end = begin + scale;
  Taps taps;
  for (int j = static_cast<int>(std::floor(begin)); j < end && j < sourceSize; ++j) {
    const double covered = std::min<double>(j + 1, end) - std::max<double>(j, begin);
    if (covered > 0) taps.push_back({j, static_cast<float>(covered)});
  }
  return taps;
}

std::vector<Taps> AxisTaps(int sourceSize, int targetSize, DWORD filter) {
  std::vector<Taps> axis(targetSize);
  const double scale = static_cast<double>(sourceSize) / targetSize;
  for (int i = 0; i < targetSize; ++i) {
    if (sourceSize == targetSize) {
      axis[i] = {{i, 1.0f}};
      continue;
    }
    switch (filter & 0xFF) {  // the upper bits are mirror and dither flags
      case D3DX_FILTER_TRIANGLE: axis[i] = TriangleTaps(i, scale, sourceSize); break;
      case D3DX_FILTER_LINEAR: axis[i] = LinearTaps(i, scale, sourceSize); break;
      default: axis[i] = BoxTaps(i, scale, sourceSize); break;
    }
    float total = 0;
    for (const Tap& tap : axis[i]) total += tap.weight;
    for (Tap& tap : axis[i]) tap.weight /= total;
  }
  return axis;
}

Image HalveLevel(const Image& source, DWORD filter) {
  Image target;
  target.width = std::max(1, source.width / 2);
  target.height = std::max(1, source.height / 2);
  const std::vector<Taps> columns = AxisTaps(source.width, target.width, filter);
  const std::vector<Taps> rows = AxisTaps(source.height, target.height, filter);

  // Columns first, into one row of sums at source width, then along that row. Nothing is
  // rounded until the end.
  target.rgba.resize(std::size_t{4} * target.width * target.height);
  const std::size_t sourceStride = std::size_t{4} * source.width;
  std::vector<float> sums(sourceStride);
  for (int y = 0; y < target.height; ++y) {
    std::fill(sums.begin(), sums.end(), 0.0f);
    for (const Tap& tap : rows[y]) {
      const std::uint8_t* in = &source.rgba[sourceStride * tap.source];
      for (std::size_t i = 0; i < sourceStride; ++i) sums[i] += tap.weight * in[i];
    }
    std::uint8_t* out = &target.rgba[std::size_t{4} * target.width * y];
    for (int x = 0; x < target.width; ++x) {
      float sum[4] = {};
      for (const Tap& tap : columns[x])
        for (int c = 0; c < 4; ++c) sum[c] += tap.weight * sums[4 * tap.source + c];
      // The weights are positive, so truncation rounds half up.
      for (int c = 0; c < 4; ++c)
        out[4 * x + c] = static_cast<std::uint8_t>(std::min(sum[c] + 0.5f, 255.0f));
    }
  }
  return target;
}

}  // namespace

std::vector<Image> BuildMipChain(Image level0, DWORD mipFilter) {
  std::vector<Image> chain;
  const bool wellFormed = level0.width > 0 && level0.height > 0 &&
                          level0.rgba.size() == std::size_t{4} * level0.width * level0.height;
  chain.push_back(std::move(level0));
  if (!wellFormed) return chain;
  while (chain.back().width > 1 || chain.back().height > 1)
    chain.push_back(HalveLevel(chain.back(), mipFilter));
  return chain;
}

}  // namespace d3dx
