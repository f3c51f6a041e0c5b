// Sculpting with signed distance functions: smooth primitives blended into one shape, and a
// mesher (surface nets) that turns the shape into triangles. The figures are made this way,
// which gives them the soft, carved look of statues.
#pragma once

#include <functional>
#include <vector>

#include "tools/datagen/vec.h"

namespace datagen::sdf {

// Distance (negative inside) and the material of the nearest part.
struct Sample {
  double d;
  int material;
};

inline double Ellipsoid(Vec3 p, Vec3 r) {
  const Vec3 a{p.x / r.x, p.y / r.y, p.z / r.z};
  const Vec3 b{p.x / (r.x * r.x), p.y / (r.y * r.y), p.z / (r.z * r.z)};
  const double k0 = Length(a), k1 = Length(b);
  return k1 > 0 ? k0 * (k0 - 1) / k1 : -dm::Min(r.x, dm::Min(r.y, r.z));
}

inline double Sphere(Vec3 p, double r) { return Length(p) - r; }

// A segment from a to b whose radius goes from ra to rb.
inline double Capsule(Vec3 p, Vec3 a, Vec3 b, double ra, double rb) {
  const Vec3 ab = b - a, ap = p - a;
  const double len2 = Dot(ab, ab);
  const double t = len2 > 0 ? dm::Clamp(Dot(ap, ab) / len2, 0, 1) : 0;
  return Length(ap - ab * t) - (ra + (rb - ra) * t);
}

// A vertical elliptical frustum from height z0 (radii r0x, r0y) to z1 (r1x, r1y), centred on
// the z axis and shifted by (cx, cy) at the bottom and top.
struct Frustum {
  double z0, z1, r0x, r0y, r1x, r1y;
  double cx0 = 0, cy0 = 0, cx1 = 0, cy1 = 0;
};
inline double FrustumDistance(Vec3 p, const Frustum& f) {
  const double t = dm::Clamp((p.z - f.z0) / (f.z1 - f.z0), 0, 1);
  const double rx = f.r0x + (f.r1x - f.r0x) * t, ry = f.r0y + (f.r1y - f.r0y) * t;
  const double x = p.x - (f.cx0 + (f.cx1 - f.cx0) * t), y = p.y - (f.cy0 + (f.cy1 - f.cy0) * t);
  const double q = dm::Sqrt((x / rx) * (x / rx) + (y / ry) * (y / ry));
  const double side = (q - 1) * dm::Min(rx, ry);
  return dm::Max(side, dm::Max(f.z0 - p.z, p.z - f.z1));
}

inline double Torus(Vec3 p, double major, double minor) {  // around the z axis
  const double q = dm::Sqrt(p.x * p.x + p.y * p.y) - major;
  return dm::Sqrt(q * q + p.z * p.z) - minor;
}

// Smooth minimum: blends two shapes over a distance k; the material of the nearer wins.
inline Sample Blend(Sample a, Sample b, double k) {
  if (k <= 0) return a.d < b.d ? a : b;
  const double h = dm::Clamp(0.5 + 0.5 * (b.d - a.d) / k, 0, 1);
  const double d = b.d + (a.d - b.d) * h - k * h * (1 - h);
  return {d, h > 0.5 ? a.material : b.material};
}
inline Sample Cut(Sample a, double b) { return {dm::Max(a.d, -b), a.material}; }

// A triangle mesh with a normal and a material per vertex.
struct Surface {
  std::vector<Vec3> positions;
  std::vector<Vec3> normals;
  std::vector<int> materials;
  std::vector<std::uint32_t> triangles;  // three per triangle
};

// Surface nets over the box [lo, hi] with cubic cells of size `cell`. The shape must lie
// inside the box (with a cell to spare), or it is cut open at the box.
Surface Mesh(const std::function<Sample(Vec3)>& shape, Vec3 lo, Vec3 hi, double cell);

}  // namespace datagen::sdf
