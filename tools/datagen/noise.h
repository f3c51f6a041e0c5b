// Seeded randomness for the data pack: a small generator for placing things and value noise
// for textures and terrain. Everything follows from the seed, so every run makes the same data.
#pragma once

#include <cstdint>

#include "tools/datagen/dmath.h"

namespace datagen {

// SplitMix64: tiny, fast and good enough for art.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
  int Int(int lo, int hiInclusive) {
    return lo + static_cast<int>(Next() % static_cast<std::uint64_t>(hiInclusive - lo + 1));
  }

 private:
  std::uint64_t state_;
};

// A hash of lattice coordinates into [0, 1).
inline double Hash3(std::int64_t x, std::int64_t y, std::int64_t z, std::uint64_t seed) {
  std::uint64_t h = seed * 0x9E3779B97F4A7C15ull;
  h ^= static_cast<std::uint64_t>(x) * 0xC2B2AE3D27D4EB4Full;
  h = (h ^ (h >> 29)) * 0xBF58476D1CE4E5B9ull;
  h ^= static_cast<std::uint64_t>(y) * 0x165667B19E3779F9ull;
  h = (h ^ (h >> 32)) * 0x94D049BB133111EBull;
  h ^= static_cast<std::uint64_t>(z) * 0x27D4EB2F165667C5ull;
  h = (h ^ (h >> 29)) * 0xBF58476D1CE4E5B9ull;
  h ^= h >> 32;
  return static_cast<double>(h >> 11) * (1.0 / 9007199254740992.0);
}

inline std::int64_t WrapLattice(std::int64_t i, std::int64_t period) {
  if (period <= 0) return i;
  i %= period;
  return i < 0 ? i + period : i;
}

// Smooth value noise in [0, 1]. With a period (in lattice cells) it tiles: noise at x and at
// x + period are equal, which the texture atlases rely on.
inline double ValueNoise2(double x, double y, std::uint64_t seed, std::int64_t periodX = 0,
                          std::int64_t periodY = 0) {
  const double fx = dm::Floor(x), fy = dm::Floor(y);
  const auto ix = static_cast<std::int64_t>(fx), iy = static_cast<std::int64_t>(fy);
  double tx = x - fx, ty = y - fy;
  tx = tx * tx * tx * (tx * (tx * 6 - 15) + 10);
  ty = ty * ty * ty * (ty * (ty * 6 - 15) + 10);
  const auto x0 = WrapLattice(ix, periodX), x1 = WrapLattice(ix + 1, periodX);
  const auto y0 = WrapLattice(iy, periodY), y1 = WrapLattice(iy + 1, periodY);
  const double a = Hash3(x0, y0, 0, seed), b = Hash3(x1, y0, 0, seed);
  const double c = Hash3(x0, y1, 0, seed), d = Hash3(x1, y1, 0, seed);
  return dm::Lerp(dm::Lerp(a, b, tx), dm::Lerp(c, d, tx), ty);
}

// Fractal sum of octaves, normalised to [0, 1]. Periods double with each octave.
inline double Fbm2(double x, double y, std::uint64_t seed, int octaves, std::int64_t periodX = 0,
                   std::int64_t periodY = 0, double gain = 0.5) {
  double sum = 0, amplitude = 1, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * ValueNoise2(x, y, seed + 101 * o, periodX, periodY);
    norm += amplitude;
    amplitude *= gain;
    x *= 2;
    y *= 2;
    periodX *= 2;
    periodY *= 2;
  }
  return sum / norm;
}

inline double ValueNoise3(double x, double y, double z, std::uint64_t seed) {
  const double fx = dm::Floor(x), fy = dm::Floor(y), fz = dm::Floor(z);
  const auto ix = static_cast<std::int64_t>(fx), iy = static_cast<std::int64_t>(fy),
             iz = static_cast<std::int64_t>(fz);
  double tx = x - fx, ty = y - fy, tz = z - fz;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  tz = tz * tz * (3 - 2 * tz);
  double corner[2][2][2];
  for (int a = 0; a < 2; ++a)
    for (int b = 0; b < 2; ++b)
      for (int c = 0; c < 2; ++c) corner[a][b][c] = Hash3(ix + a, iy + b, iz + c, seed);
  const double x00 = dm::Lerp(corner[0][0][0], corner[1][0][0], tx);
  const double x10 = dm::Lerp(corner[0][1][0], corner[1][1][0], tx);
  const double x01 = dm::Lerp(corner[0][0][1], corner[1][0][1], tx);
  const double x11 = dm::Lerp(corner[0][1][1], corner[1][1][1], tx);
  return dm::Lerp(dm::Lerp(x00, x10, ty), dm::Lerp(x01, x11, ty), tz);
}

}  // namespace datagen
