// The terrain: one grid whose cells are about a metre wide in the orchard and grow towards
// the hills at the edge, and a texture laid over the same grid, so that the orchard gets most
// of the texels. Grid row and texture space share one mapping, which is why the texture is
// painted by walking the grid, not the world.
#include <algorithm>

#include "tools/datagen/assets.h"
#include "tools/datagen/canvas.h"
#include "tools/datagen/jpeg_encoder.h"
#include "tools/datagen/mesh_builder.h"
#include "tools/datagen/noise.h"
#include "tools/datagen/world.h"

namespace datagen {
namespace {

constexpr int kCells = 160;         // grid cells per side
constexpr double kStretch = 3.9;    // how much denser the middle is than the edge
constexpr int kTextureSize = 2048;

double Sinh(double x) { return (dm::Exp(x) - dm::Exp(-x)) / 2; }

// World coordinate of grid line i (0..kCells), symmetric about the origin.
double GridCoordinate(int i) {
  const double s = 2.0 * i / kCells - 1;
  return world::kTerrainHalf * Sinh(kStretch * s) / Sinh(kStretch);
}

struct Polyline {
  std::vector<Point> points;  // world x, y
  double width;
};

const std::vector<Polyline>& Paths() {
  static const std::vector<Polyline> paths = {
      // From the tower door north and west to the monk's knoll and on into the fields.
      {{{31.5, 26.0}, {31.0, 31.0}, {27.0, 36.0}, {19.0, 39.5}, {9.0, 40.0}, {1.0, 37.5},
        {-2.5, 35.0}, {-7.0, 36.5}, {-16.0, 39.5}, {-32.0, 43.0}, {-60.0, 50.0}, {-110.0, 58.0}},
       1.7},
      // From the south gable through the orchard to the old tree.
      {{{31.5, 8.0}, {31.6, 3.0}, {30.5, -6.0}, {27.0, -12.0}, {19.0, -14.5}, {8.0, -15.5},
        {-4.0, -17.0}, {-11.0, -19.5}, {-16.5, -21.0}, {-28.0, -24.0}, {-50.0, -26.0},
        {-90.0, -20.0}},
       1.5},
      // The track east past the chapel.
      {{{35.0, 12.0}, {45.0, 14.0}, {60.0, 11.0}, {85.0, 16.0}, {130.0, 14.0}}, 1.6},
  };
  return paths;
}

double DistanceToSegment(Point p, Point a, Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  const double t = len2 > 0 ? dm::Clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0, 1) : 0;
  const double ex = a.x + dx * t - p.x, ey = a.y + dy * t - p.y;
  return dm::Sqrt(ex * ex + ey * ey);
}

// 0 off the path, 1 on its middle, soft edges.
double PathCover(double x, double y) {
  double cover = 0;
  for (const Polyline& path : Paths()) {
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (const Point& p : path.points) {
      minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
      minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    if (x < minX - 3 || x > maxX + 3 || y < minY - 3 || y > maxY + 3) continue;
    // Wobble the edges a little so the path looks trodden, not drawn.
    const double wobble = (ValueNoise2(x / 2.1, y / 2.1, 77) - 0.5) * 0.6;
    for (std::size_t i = 0; i + 1 < path.points.size(); ++i) {
      const double d = DistanceToSegment({x, y}, path.points[i], path.points[i + 1]);
      const double half = path.width / 2 + wobble;
      cover = std::max(cover, 1 - dm::Smoothstep(half - 0.35, half + 0.35, d));
    }
  }
  return cover;
}

// The trees whose shadow may reach (x, y), from a coarse grid over the middle of the map.
constexpr double kShadowCell = 8.0;
constexpr int kShadowCells = 60;  // covers -240 .. 240

const std::vector<const world::Tree*>& TreesNear(double x, double y) {
  static const std::vector<std::vector<const world::Tree*>> grid = [] {
    std::vector<std::vector<const world::Tree*>> cells(kShadowCells * kShadowCells);
    for (const world::Tree& tree : world::Trees()) {
      const double reach = world::TreeWidth(tree) * 0.6 + tree.height * 0.35;
      for (int cy = 0; cy < kShadowCells; ++cy)
        for (int cx = 0; cx < kShadowCells; ++cx) {
          const double x0 = (cx - kShadowCells / 2) * kShadowCell, y0 = (cy - kShadowCells / 2) * kShadowCell;
          if (tree.x + reach < x0 || tree.x - reach > x0 + kShadowCell || tree.y + reach < y0 ||
              tree.y - reach > y0 + kShadowCell)
            continue;
          cells[cy * kShadowCells + cx].push_back(&tree);
        }
    }
    return cells;
  }();
  static const std::vector<const world::Tree*> none;
  const int cx = static_cast<int>(dm::Floor(x / kShadowCell)) + kShadowCells / 2;
  const int cy = static_cast<int>(dm::Floor(y / kShadowCell)) + kShadowCells / 2;
  if (cx < 0 || cy < 0 || cx >= kShadowCells || cy >= kShadowCells) return none;
  return grid[cy * kShadowCells + cx];
}

Color GroundColor(double x, double y, double height, double slope, double texel) {
  const double r = dm::Sqrt(x * x + y * y);
  // Meadow: warm greens in broad patches, drier where the noise says so.
  const Color deep = Hex(0x4A6A1F), fresh = Hex(0x6E8A2A), dry = Hex(0x9C9246), ochre = Hex(0xB08A48);
  const double broad = Fbm2(x / 23.0, y / 23.0, 21, 3);
  const double mid = Fbm2(x / 5.0, y / 5.0, 22, 2);
  Color c = Mix(deep, fresh, dm::Smoothstep(0.3, 0.7, broad));
  c = Mix(c, dry, 0.55 * dm::Smoothstep(0.55, 0.8, mid * 0.6 + broad * 0.4));
  // Fine grass detail only where a texel is small enough to show it.
  if (texel < 0.35) {
    const double fine = ValueNoise2(x / 0.45, y / 0.45, 23) - 0.5;
    const double blades = ValueNoise2(x / 0.12, y / 0.16, 24) - 0.5;
    const double fade = 1 - dm::Smoothstep(0.12, 0.35, texel);
    c = c * (1 + (0.22 * fine + 0.16 * blades) * fade);
    // Wild flowers in the orchard: white, yellow and a few violet.
    const double fx = dm::Floor(x / 0.5), fy = dm::Floor(y / 0.5);
    const double pick = Hash3(static_cast<std::int64_t>(fx), static_cast<std::int64_t>(fy), 5, 25);
    if (pick < 0.05 && r < 90) {
      const double cx = (fx + 0.25 + 0.5 * Hash3(static_cast<std::int64_t>(fx), static_cast<std::int64_t>(fy), 6, 25)) * 0.5;
      const double cy = (fy + 0.25 + 0.5 * Hash3(static_cast<std::int64_t>(fx), static_cast<std::int64_t>(fy), 7, 25)) * 0.5;
      const double d = dm::Sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
      if (d < 0.07) {
        const Color petal = pick < 0.02 ? Hex(0xF4F0E0) : (pick < 0.04 ? Hex(0xF0D040) : Hex(0xB08CD8));
        c = Mix(c, petal, 0.85 * fade);
      }
    }
  }
  // Hills: heather and bare earth on the steep and high ground.
  const double rough = dm::Smoothstep(0.35, 0.8, slope);
  c = Mix(c, Mix(Hex(0x7A6A48), Hex(0x8C7A5C), mid), rough * 0.8);
  if (height > 30) {
    const double heather = dm::Smoothstep(30, 90, height) * Fbm2(x / 60.0, y / 60.0, 26, 3);
    c = Mix(c, Hex(0x7A5A6A), dm::Clamp(heather * 1.2, 0, 0.55));
  }
  // Paths and the chapel yard.
  const double path = PathCover(x, y);
  if (path > 0) {
    const Color earth = Mix(ochre, Hex(0xC9A56A), ValueNoise2(x / 0.7, y / 0.7, 27));
    c = Mix(c, earth * (0.9 + 0.2 * (ValueNoise2(x / 0.2, y / 0.2, 28) - 0.5)), path * 0.9);
  }
  const bool yard = x > world::kTowerX - world::kNaveHalfWidth - 2.2 &&
                    x < world::kTowerX + world::kNaveHalfWidth + 2.2 &&
                    y > world::kNaveSouth - 2.2 && y < world::kTowerY + world::kTowerHalf + 2.2;
  if (yard) c = Mix(c, Mix(Hex(0xA89A80), Hex(0x8E8470), ValueNoise2(x / 0.4, y / 0.4, 29)), 0.85);
  // Soft shadows of the trees, cast away from the light, which stands high in the north.
  for (const world::Tree* treePointer : TreesNear(x, y)) {
    const world::Tree& tree = *treePointer;
    const double radius = world::TreeWidth(tree) * 0.42;
    const double dx = x - tree.x, dy = y - (tree.y - tree.height * 0.35);
    if (dx * dx + dy * dy > radius * radius * 1.6) continue;
    const double d = dm::Sqrt(dx * dx + dy * dy) / radius;
    c = c * (1 - 0.38 * (1 - dm::Smoothstep(0.55, 1.25, d)));
  }
  // Distance haze, painted in: every camera stays near the middle.
  const double haze = dm::Smoothstep(140, 620, r);
  c = Mix(c, Hex(0x8A7E9A), haze * 0.65);
  return c;
}

}  // namespace

Files MakeLandscape() {
  std::vector<double> coordinate(kCells + 1);
  for (int i = 0; i <= kCells; ++i) coordinate[i] = GridCoordinate(i);
  // Grid row j runs from the north edge (texture top) to the south edge.
  std::vector<double> height((kCells + 1) * (kCells + 1));
  for (int j = 0; j <= kCells; ++j)
    for (int i = 0; i <= kCells; ++i)
      height[j * (kCells + 1) + i] = world::TerrainHeight(coordinate[i], coordinate[kCells - j]);

  MeshBuilder mesh;
  mesh.AddMaterial("terrain2.jpg");
  mesh.Grid(kCells, kCells, [&](double s, double t) {
    const int i = static_cast<int>(dm::Floor(s * kCells + 0.5));
    const int j = static_cast<int>(dm::Floor(t * kCells + 0.5));
    return Vec3{coordinate[i], coordinate[kCells - j], height[j * (kCells + 1) + i]};
  }, {0, 0, 1, 1}, /*flipNormals=*/true);

  // The texture, texel by texel: grid position, then world position within the cell.
  Canvas canvas(kTextureSize, kTextureSize);
  const double perCell = static_cast<double>(kTextureSize) / kCells;
  canvas.Shade([&](int px, int py, Color) {
    const double gi = (px + 0.5) / perCell, gj = (py + 0.5) / perCell;
    const int i = std::min(static_cast<int>(gi), kCells - 1), j = std::min(static_cast<int>(gj), kCells - 1);
    const double fi = gi - i, fj = gj - j;
    const double x = dm::Lerp(coordinate[i], coordinate[i + 1], fi);
    const double y = dm::Lerp(coordinate[kCells - j], coordinate[kCells - j - 1], fj);
    auto h = [&](int a, int b) { return height[b * (kCells + 1) + a]; };
    const double z = dm::Lerp(dm::Lerp(h(i, j), h(i + 1, j), fi), dm::Lerp(h(i, j + 1), h(i + 1, j + 1), fi), fj);
    const double cellX = coordinate[i + 1] - coordinate[i];
    const double cellY = coordinate[kCells - j] - coordinate[kCells - j - 1];
    const double sx = (h(i + 1, j) - h(i, j)) / cellX, sy = (h(i, j) - h(i, j + 1)) / cellY;
    const double slope = dm::Sqrt(sx * sx + sy * sy);
    return GroundColor(x, y, z, slope, cellX / perCell);
  });

  return {{"terrain.x", MeshFileBytes(mesh.Build())},
          {"terrain2.jpg", EncodeJpeg(canvas, {.quality = 88})}};
}

}  // namespace datagen
