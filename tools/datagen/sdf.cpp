#include "tools/datagen/sdf.h"

#include <algorithm>
#include <array>

namespace datagen::sdf {

Surface Mesh(const std::function<Sample(Vec3)>& shape, Vec3 lo, Vec3 hi, double cell) {
  const int nx = static_cast<int>(dm::Floor((hi.x - lo.x) / cell)) + 2;
  const int ny = static_cast<int>(dm::Floor((hi.y - lo.y) / cell)) + 2;
  const int nz = static_cast<int>(dm::Floor((hi.z - lo.z) / cell)) + 2;
  auto point = [&](int i, int j, int k) { return lo + Vec3{i * cell, j * cell, k * cell}; };
  auto index = [&](int i, int j, int k) { return (static_cast<std::size_t>(k) * ny + j) * nx + i; };

  // A coarse pass first: blocks far from the surface on both sides are filled without
  // sampling every point. Distances may be underestimated by the blends, never by much.
  constexpr int kBlock = 4;
  const int cx = (nx - 1) / kBlock + 2, cy = (ny - 1) / kBlock + 2, cz = (nz - 1) / kBlock + 2;
  std::vector<double> coarse(static_cast<std::size_t>(cx) * cy * cz);
  for (int k = 0; k < cz; ++k)
    for (int j = 0; j < cy; ++j)
      for (int i = 0; i < cx; ++i)
        coarse[(static_cast<std::size_t>(k) * cy + j) * cx + i] =
            shape(point(i * kBlock, j * kBlock, k * kBlock)).d;
  const double reach = kBlock * cell * 1.8 * 1.5;
  std::vector<float> value(static_cast<std::size_t>(nx) * ny * nz);
  for (int bk = 0; bk < cz - 1; ++bk)
    for (int bj = 0; bj < cy - 1; ++bj)
      for (int bi = 0; bi < cx - 1; ++bi) {
        bool far = true;
        double sign = 0;
        for (int c = 0; c < 8 && far; ++c) {
          const double d = coarse[(static_cast<std::size_t>(bk + (c >> 2)) * cy + bj + ((c >> 1) & 1)) * cx + bi + (c & 1)];
          if (dm::Abs(d) < reach || (sign != 0 && (d > 0) != (sign > 0))) far = false;
          sign = d;
        }
        for (int k = bk * kBlock; k <= std::min(bk * kBlock + kBlock, nz - 1); ++k)
          for (int j = bj * kBlock; j <= std::min(bj * kBlock + kBlock, ny - 1); ++j)
            for (int i = bi * kBlock; i <= std::min(bi * kBlock + kBlock, nx - 1); ++i)
              value[index(i, j, k)] = static_cast<float>(far ? sign : shape(point(i, j, k)).d);
      }

  // One vertex per cell that the surface crosses, at the mean of the crossings on its edges.
  static constexpr int kEdges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                                        {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
  Surface surface;
  std::vector<std::int32_t> vertexOf(static_cast<std::size_t>(nx - 1) * (ny - 1) * (nz - 1), -1);
  auto cellIndex = [&](int i, int j, int k) { return (static_cast<std::size_t>(k) * (ny - 1) + j) * (nx - 1) + i; };
  for (int k = 0; k < nz - 1; ++k)
    for (int j = 0; j < ny - 1; ++j)
      for (int i = 0; i < nx - 1; ++i) {
        std::array<double, 8> v;
        int inside = 0;
        for (int c = 0; c < 8; ++c) {
          v[c] = value[index(i + (c & 1), j + ((c >> 1) & 1), k + (c >> 2))];
          if (v[c] < 0) ++inside;
        }
        if (inside == 0 || inside == 8) continue;
        Vec3 sum;
        int crossings = 0;
        for (const auto& e : kEdges) {
          const double a = v[e[0]], b = v[e[1]];
          if ((a < 0) == (b < 0)) continue;
          const double t = a / (a - b);
          const Vec3 pa{static_cast<double>(e[0] & 1), static_cast<double>((e[0] >> 1) & 1), static_cast<double>(e[0] >> 2)};
          const Vec3 pb{static_cast<double>(e[1] & 1), static_cast<double>((e[1] >> 1) & 1), static_cast<double>(e[1] >> 2)};
          sum += pa + (pb - pa) * t;
          ++crossings;
        }
        const Vec3 p = point(i, j, k) + (sum / crossings) * cell;
        vertexOf[cellIndex(i, j, k)] = static_cast<std::int32_t>(surface.positions.size());
        surface.positions.push_back(p);
      }

  // A quad for every grid edge that the surface crosses, joining the four cells around it.
  auto quad = [&](std::size_t a, std::size_t b, std::size_t c, std::size_t d, bool flip) {
    const std::int32_t ids[4] = {vertexOf[a], vertexOf[b], vertexOf[c], vertexOf[d]};
    for (auto id : ids)
      if (id < 0) return;
    auto u = [&](int n) { return static_cast<std::uint32_t>(ids[n]); };
    if (flip)
      surface.triangles.insert(surface.triangles.end(), {u(0), u(2), u(1), u(0), u(3), u(2)});
    else
      surface.triangles.insert(surface.triangles.end(), {u(0), u(1), u(2), u(0), u(2), u(3)});
  };
  for (int k = 1; k < nz - 1; ++k)
    for (int j = 1; j < ny - 1; ++j)
      for (int i = 1; i < nx - 1; ++i) {
        const bool here = value[index(i, j, k)] < 0;
        if (here != (value[index(i + 1, j, k)] < 0))  // edge along x
          quad(cellIndex(i, j - 1, k - 1), cellIndex(i, j, k - 1), cellIndex(i, j, k), cellIndex(i, j - 1, k), !here);
        if (here != (value[index(i, j + 1, k)] < 0))  // along y
          quad(cellIndex(i - 1, j, k - 1), cellIndex(i - 1, j, k), cellIndex(i, j, k), cellIndex(i, j, k - 1), !here);
        if (here != (value[index(i, j, k + 1)] < 0))  // along z
          quad(cellIndex(i - 1, j - 1, k), cellIndex(i, j - 1, k), cellIndex(i, j, k), cellIndex(i - 1, j, k), !here);
      }

  // Normals from the gradient of the distance, materials from the nearest part.
  const double eps = cell * 0.5;
  for (const Vec3& p : surface.positions) {
    const Vec3 g{shape(p + Vec3{eps, 0, 0}).d - shape(p - Vec3{eps, 0, 0}).d,
                 shape(p + Vec3{0, eps, 0}).d - shape(p - Vec3{0, eps, 0}).d,
                 shape(p + Vec3{0, 0, eps}).d - shape(p - Vec3{0, 0, eps}).d};
    surface.normals.push_back(Normalize(g));
    surface.materials.push_back(shape(p).material);
  }
  return surface;
}

}  // namespace datagen::sdf
