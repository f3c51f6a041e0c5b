// The orchard: painted tree sprites on exact black (the demo keys black out) and a mesh of
// crossed upright quads, one pair per tree, three for the old tree.
//
// Transparent texels still write depth (the alpha test lets every texel through), so a quad's
// empty parts would hide the trees behind it. Each quad is therefore cut into cells and the
// cells that show nothing of the sprite are left out.
#include <algorithm>

#include "tools/datagen/assets.h"
#include "tools/datagen/canvas.h"
#include "tools/datagen/jpeg_encoder.h"
#include "tools/datagen/mesh_builder.h"
#include "tools/datagen/noise.h"
#include "tools/datagen/world.h"

namespace datagen {
namespace {

constexpr int kAtlas = 1024;
constexpr int kCell = 512;
constexpr int kMargin = 16;  // black border around every sprite, away from cell edges

struct SpriteRect {
  double x0, y0, width, height;  // pixels
};

// Where each kind of tree is drawn: the old tree takes the whole width of its cell, the
// others keep the aspect of TreeWidth.
SpriteRect SpriteFor(world::TreeKind kind) {
  const int col = kind == world::TreeKind::kOld || kind == world::TreeKind::kBlossom ? 0 : 1;
  const int row = kind == world::TreeKind::kOld || kind == world::TreeKind::kApple ? 0 : 1;
  const double aspect = kind == world::TreeKind::kOld ? 1.15 : 0.85;  // width / height
  const double inner = kCell - 2 * kMargin;
  const double width = aspect >= 1 ? inner : inner * aspect;
  const double height = aspect >= 1 ? inner / aspect : inner;
  return {col * kCell + (kCell - width) / 2, row * kCell + kCell - kMargin - height, width, height};
}

// Paints in premultiplied form: colour over black, with a separate coverage mask, so that the
// edges can be made hard afterwards and carry no dark fringe.
class SpritePainter {
 public:
  SpritePainter(Canvas& canvas, Mask& coverage)
      : canvas_(canvas), coverage_(coverage), mask_(canvas.width(), canvas.height()) {}

  void Shape(const std::function<void(Mask&)>& draw, const std::function<Color(int, int)>& color) {
    mask_.Clear();
    draw(mask_);
    canvas_.Composite(mask_, color);
    const Mask& drawn = mask_;
    for (int y = std::max(drawn.touchedY0(), 0); y <= drawn.touchedY1(); ++y)
      for (int x = std::max(drawn.touchedX0(), 0); x <= drawn.touchedX1(); ++x)
        if (drawn.At(x, y) > coverage_.At(x, y)) coverage_.At(x, y) = drawn.At(x, y);
  }
  void Shape(const std::function<void(Mask&)>& draw, Color color) {
    Shape(draw, [color](int, int) { return color; });
  }

 private:
  Canvas& canvas_;
  Mask& coverage_;
  Mask mask_;
};

struct Branch {
  std::vector<Point> points;
  double width0, width1;
};

// A limb from `from` towards `to`, bent a little, as a polyline.
Branch Limb(Point from, Point to, double width0, double width1, Random& random, double bend) {
  Branch branch{{}, width0, width1};
  const double nx = -(to.y - from.y), ny = to.x - from.x;
  const double b = random.Range(-bend, bend);
  for (int i = 0; i <= 6; ++i) {
    const double t = i / 6.0;
    const double sway = b * t * (1 - t) * 4 + random.Range(-0.015, 0.015);
    branch.points.push_back({from.x + (to.x - from.x) * t + nx * sway, from.y + (to.y - from.y) * t + ny * sway});
  }
  return branch;
}

void PaintBark(SpritePainter& painter, const std::vector<Branch>& branches, Color bark, double left) {
  for (const Branch& branch : branches) {
    painter.Shape([&](Mask& m) { m.Stroke(branch.points, branch.width0, branch.width1); },
                  [&](int x, int y) {
                    const double grain = ValueNoise2(x / 3.0, y / 14.0, 61);
                    return bark * (0.75 + 0.5 * grain) * (x < left ? 0.85 : 1.0);
                  });
  }
}

void PaintTree(Canvas& canvas, Mask& coverage, world::TreeKind kind, std::uint64_t seed) {
  using world::TreeKind;
  const SpriteRect r = SpriteFor(kind);
  Random random(seed);
  SpritePainter painter(canvas, coverage);
  const bool old = kind == TreeKind::kOld;
  const bool young = kind == TreeKind::kYoung;
  const bool blossom = kind == TreeKind::kBlossom;
  const double cx = r.x0 + r.width / 2, base = r.y0 + r.height;
  auto at = [&](double fx, double fy) { return Point{r.x0 + fx * r.width, r.y0 + (1 - fy) * r.height}; };

  // Canopy ellipse, in fractions of the sprite: centre and radii.
  const double canopyY = old ? 0.70 : (young ? 0.66 : 0.64);
  const double canopyRx = old ? 0.48 : (young ? 0.36 : 0.47);
  const double canopyRy = old ? 0.29 : (young ? 0.30 : 0.34);
  const double forkY = old ? 0.36 : (young ? 0.40 : 0.36);

  // Trunk and limbs.
  std::vector<Branch> wood;
  const double trunkWidth = r.width * (old ? 0.13 : (young ? 0.035 : 0.065));
  const Point fork = at(0.5 + random.Range(-0.03, 0.03), forkY);
  wood.push_back(Limb({cx, base + 2}, fork, trunkWidth, trunkWidth * 0.75, random, old ? 0.05 : 0.02));
  if (old) {  // a gnarled foot: roots spreading at the base
    wood.push_back(Limb({cx - trunkWidth * 0.3, base - 4}, {cx - trunkWidth * 1.1, base + 1}, trunkWidth * 0.5, trunkWidth * 0.2, random, 0.1));
    wood.push_back(Limb({cx + trunkWidth * 0.3, base - 4}, {cx + trunkWidth * 1.2, base + 1}, trunkWidth * 0.5, trunkWidth * 0.2, random, 0.1));
  }
  const int limbs = old ? 5 : (young ? 3 : 4);
  std::vector<Point> tips;
  for (int i = 0; i < limbs; ++i) {
    const double spread = (i + 0.5) / limbs * 2 - 1;  // -1 .. 1, left to right
    const Point tip = at(0.5 + spread * canopyRx * (old ? random.Range(0.75, 0.98) : random.Range(0.55, 0.85)),
                         canopyY + canopyRy * random.Range(-0.1, 0.6) * (1 - 0.5 * spread * spread));
    wood.push_back(Limb(fork, tip, trunkWidth * (old ? 0.55 : 0.5), trunkWidth * 0.15, random, old ? 0.3 : 0.06));
    tips.push_back(tip);
    // Twigs off each limb.
    for (int k = 0; k < (old ? 3 : 2); ++k) {
      const Point from = wood.back().points[3 + k];
      const Point twig{from.x + random.Range(-0.16, 0.16) * r.width, from.y - random.Range(0.05, 0.15) * r.height};
      wood.push_back(Limb(from, twig, trunkWidth * 0.2, trunkWidth * 0.06, random, 0.1));
    }
  }
  const Color bark = old ? Hex(0x5A4A3C) : Hex(0x6A5240);
  PaintBark(painter, wood, bark, cx);

  // Foliage: clusters from back to front, each a round mass with leafy speckle. The light
  // comes from above and slightly right.
  struct Cluster {
    Point center;
    double radius, depth;
  };
  std::vector<Cluster> clusters;
  const int count = old ? 190 : (young ? 60 : 120);
  for (int i = 0; i < count; ++i) {
    Point center;
    if (random.Uniform() < (old ? 0.85 : 0.55)) {
      // A clump around the end of a limb: the canopy is lumpy, with gaps between the clumps.
      const Point tip = tips[random.Int(0, static_cast<int>(tips.size()) - 1)];
      const double spread = r.width * (old ? 0.13 : 0.12);
      double px, py;
      do {
        px = random.Range(-1, 1);
        py = random.Range(-1, 1);
      } while (px * px + py * py > 1);
      center = {tip.x + px * spread * 1.3, tip.y + py * spread - spread * 0.3};
    } else {
      double px, py;
      do {
        px = random.Range(-1, 1);
        py = random.Range(-1, 1);
      } while (px * px + py * py > 1);
      if (old && py < 0) py *= 0.5;
      center = at(0.5 + px * canopyRx * 0.85, canopyY + py * canopyRy * 0.85);
    }
    const double radius = r.width * random.Range(0.035, 0.065) * (old ? 0.85 : 1.0);
    clusters.push_back({center, radius, random.Uniform()});
  }
  std::stable_sort(clusters.begin(), clusters.end(),
                   [](const Cluster& a, const Cluster& b) { return a.depth < b.depth; });
  const Color leafDark = blossom ? Hex(0x4E6A30) : (old ? Hex(0x2E4A1E) : Hex(0x34561E));
  const Color leafLight = blossom ? Hex(0xB2C87A) : (old ? Hex(0x92B050) : Hex(0xA2C452));
  const Point canopyCenter = at(0.5, canopyY);
  for (const Cluster& cl : clusters) {
    const double side = (cl.center.x - canopyCenter.x) / (canopyRx * r.width);
    const double up = (canopyCenter.y - cl.center.y) / (canopyRy * r.height);
    const double light = dm::Clamp(0.3 + 0.2 * side + 0.3 * up + 0.3 * cl.depth, 0.05, 0.95);
    auto shade = [&](double extra) {
      return [&, extra](int x, int y) {
        const double local = (cl.center.y - y) / cl.radius * 0.22 + (x - cl.center.x) / cl.radius * 0.08;
        const double leaf = ValueNoise2(x / 2.2, y / 2.2, 62) - 0.5;
        return Mix(leafDark, leafLight, dm::Clamp(light + local + leaf * 0.3 + extra, 0.0, 1.0));
      };
    };
    // The mass of the clump, then single leaves around its rim, more on the lit side, which
    // break up the outline.
    painter.Shape([&](Mask& m) { m.FillCircle(cl.center, cl.radius * 0.8); }, shade(-0.05));
    painter.Shape([&](Mask& m) {
      for (int k = 0; k < 16; ++k) {
        const double a = random.Range(-dm::kPi, dm::kPi);
        const double d = cl.radius * random.Range(0.45, 1.05);
        double sa, ca;
        dm::SinCos(a, sa, ca);
        m.FillEllipse({cl.center.x + ca * d, cl.center.y + sa * d}, cl.radius * random.Range(0.2, 0.3),
                      cl.radius * random.Range(0.1, 0.15), 1, random.Range(0, dm::kPi));
      }
    }, shade(0.12));
  }
  // Fruit or blossom on the front of the canopy.
  if (blossom || (!young && !old) || old) {
    const int dots = blossom ? 420 : (old ? 30 : 40);
    for (int i = 0; i < dots; ++i) {
      const Cluster& cl = clusters[clusters.size() / 3 + random.Int(0, static_cast<int>(clusters.size() * 2 / 3) - 1)];
      const Point p{cl.center.x + random.Range(-0.8, 0.8) * cl.radius, cl.center.y + random.Range(-0.8, 0.8) * cl.radius};
      if (blossom) {
        const Color petal = random.Uniform() < 0.5 ? Hex(0xFBF2F0) : Hex(0xF2C4D0);
        painter.Shape([&](Mask& m) { m.FillCircle(p, r.width * random.Range(0.006, 0.011)); }, petal);
      } else {
        const double radius = r.width * 0.013;
        painter.Shape([&](Mask& m) { m.FillCircle(p, radius); },
                      [&](int x, int y) {
                        const double shine = dm::Clamp(((p.y - y) + (x - p.x)) / radius * 0.5, 0, 1);
                        return Mix(Hex(0x9A1E18), Hex(0xE86A40), shine);
                      });
      }
    }
  }
}

// Hard edges: coverage under a half is background (exact black), the rest is un-premultiplied
// so edges keep the colour of the shape. No texel of a tree may be exact black, and nothing
// may stray beyond its sprite's rectangle into the margin.
void Finish(Canvas& canvas, Mask& coverage) {
  auto inSprite = [](int x, int y) {
    for (auto kind : {world::TreeKind::kOld, world::TreeKind::kApple, world::TreeKind::kBlossom, world::TreeKind::kYoung}) {
      const SpriteRect r = SpriteFor(kind);
      if (x >= r.x0 - 2 && x < r.x0 + r.width + 2 && y >= r.y0 - 2 && y < r.y0 + r.height) return true;
    }
    return false;
  };
  for (int y = 0; y < coverage.height(); ++y)
    for (int x = 0; x < coverage.width(); ++x)
      if (!inSprite(x, y)) coverage.At(x, y) = 0;
  canvas.Shade([&](int x, int y, Color c) {
    const double a = coverage.At(x, y);
    if (a < 0.5) return Color{};
    c = c * (1 / a);
    return Color{dm::Max(c.r, 0.05), dm::Max(c.g, 0.05), dm::Max(c.b, 0.04)};
  });
}

}  // namespace

Files MakeTrees() {
  using world::TreeKind;
  Canvas canvas(kAtlas, kAtlas);
  Mask coverage(kAtlas, kAtlas);
  const TreeKind kinds[] = {TreeKind::kOld, TreeKind::kApple, TreeKind::kBlossom, TreeKind::kYoung};
  for (TreeKind kind : kinds) PaintTree(canvas, coverage, kind, 0x7EE0 + static_cast<int>(kind));
  Finish(canvas, coverage);

  // Which cells of each sprite hold anything: a quad keeps only those.
  constexpr int kSplit = 14;
  auto occupied = [&](const SpriteRect& r, int i, int j) {
    const int x0 = static_cast<int>(r.x0 + r.width * i / kSplit) - 2;
    const int x1 = static_cast<int>(r.x0 + r.width * (i + 1) / kSplit) + 2;
    const int y0 = static_cast<int>(r.y0 + r.height * j / kSplit) - 2;
    const int y1 = static_cast<int>(r.y0 + r.height * (j + 1) / kSplit) + 2;
    for (int y = std::max(y0, 0); y < std::min(y1, kAtlas); ++y)
      for (int x = std::max(x0, 0); x < std::min(x1, kAtlas); ++x)
        if (coverage.At(x, y) >= 0.5) return true;
    return false;
  };

  MeshBuilder mesh;
  mesh.AddMaterial("Treemaps.jpg");
  const Vec3 up = Normalize({0, 0.25, 1});  // the sprites are shaded as seen from the light
  for (const world::Tree& tree : world::Trees()) {
    const SpriteRect r = SpriteFor(tree.kind);
    const double width = world::TreeWidth(tree);
    const double ground = world::TerrainHeight(tree.x, tree.y) - 0.25;
    for (const double angle : world::TreeQuadAngles(tree)) {
      double s, c;
      dm::SinCos(angle, s, c);
      const Vec3 across{c * width, s * width, 0};
      const Vec3 left = Vec3{tree.x, tree.y, ground} - across * 0.5;
      std::uint32_t made[kSplit + 1][kSplit + 1];
      bool has[kSplit + 1][kSplit + 1] = {};
      for (int j = 0; j < kSplit; ++j)
        for (int i = 0; i < kSplit; ++i) {
          if (!occupied(r, i, j)) continue;
          auto corner = [&](int a, int b) {
            if (has[a][b]) return made[a][b];
            has[a][b] = true;
            const double fu = static_cast<double>(a) / kSplit, fv = static_cast<double>(b) / kSplit;
            const Vec3 p = left + across * fu + Vec3{0, 0, (tree.height + 0.25) * (1 - fv)};
            const double su = tree.mirrored ? 1 - fu : fu;
            return made[a][b] = mesh.Vertex(p, up, (r.x0 + su * r.width) / kAtlas, (r.y0 + fv * r.height) / kAtlas);
          };
          const auto a = corner(i, j), b = corner(i + 1, j), cc = corner(i + 1, j + 1), d = corner(i, j + 1);
          mesh.Quad(a, b, cc, d);
        }
    }
  }
  return {{"tree.x", MeshFileBytes(mesh.Build())},
          {"Treemaps.jpg", EncodeJpeg(canvas, {.quality = 100, .fullChroma = true})}};
}

}  // namespace datagen
