#include "tools/datagen/world.h"

#include "tools/datagen/noise.h"

namespace datagen::world {
namespace {

// Pulls the ground towards `level` within `inner` of (cx, cy), blending out by `outer`.
double Flatten(double h, double x, double y, double cx, double cy, double inner, double outer,
               double level) {
  const double d = dm::Sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
  const double w = 1 - dm::Smoothstep(inner, outer, d);
  return dm::Lerp(h, level, w);
}

}  // namespace

double TerrainHeight(double x, double y) {
  const double r = dm::Sqrt(x * x + y * y);
  // The orchard: long low swells and a little unevenness.
  double h = 0.95 + 0.55 * (Fbm2(x / 38.0, y / 38.0, 11, 3) - 0.5) * 2 +
             0.18 * (Fbm2(x / 7.0, y / 7.0, 12, 2) - 0.5) * 2;
  // Hills beyond the orchard, growing with the distance.
  const double hillNoise = Fbm2(x / 140.0 + 7.3, y / 140.0 - 2.1, 13, 5);
  const double ridge = 1 - dm::Abs(Fbm2(x / 260.0, y / 260.0, 14, 3) * 2 - 1);
  const double hills = dm::Smoothstep(70, 260, r) * (18 + 95 * hillNoise * hillNoise + 40 * ridge * ridge);
  const double rim = dm::Smoothstep(380, 620, r) * (60 + 70 * hillNoise);
  h += hills + rim;
  // Level places: the chapel yard, the monk's knoll, the ground under the old tree and the
  // ground where the camera comes down beside it.
  h = Flatten(h, x, y, kTowerX, kTowerY - 6, 12, 20, kChapelFloor);
  h = Flatten(h, x, y, kMonkX, kMonkY, 3.5, 9, kMonkGround);
  h = Flatten(h, x, y, kOldTreeX, kOldTreeY, 5, 12, 0.55);
  h = Flatten(h, x, y, -12, -20.5, 3, 8, 0.5);
  return h;
}

double TreeWidth(const Tree& tree) {
  return tree.kind == TreeKind::kOld ? tree.height * 1.15 : tree.height * 0.85;
}

std::vector<double> TreeQuadAngles(const Tree& tree) {
  const int quads = tree.kind == TreeKind::kOld ? 3 : 2;
  std::vector<double> angles;
  for (int q = 0; q < quads; ++q) angles.push_back(tree.angle + dm::kPi * q / quads);
  return angles;
}

namespace {

std::vector<Tree> MakeTrees() {
  std::vector<Tree> trees;
  Random random(0x0C4A2D);
  auto add = [&](double x, double y, TreeKind kind, double height) {
    trees.push_back({x, y, kind, height, random.Range(0.35, 0.45) * dm::kPi +
                                             (random.Uniform() < 0.5 ? 0 : dm::kHalfPi),
                     random.Uniform() < 0.5});
  };
  auto jitter = [&](double amount) { return random.Range(-amount, amount); };
  auto orchardKind = [&]() {
    const double k = random.Uniform();
    return k < 0.22 ? TreeKind::kBlossom : (k < 0.35 ? TreeKind::kYoung : TreeKind::kApple);
  };
  auto orchardHeight = [&](TreeKind kind) {
    return kind == TreeKind::kYoung ? random.Range(3.8, 4.4) : random.Range(5.0, 6.0);
  };
  auto row = [&](double x0, double y0, double dx, double dy, int count) {
    for (int i = 0; i < count; ++i) {
      const TreeKind kind = orchardKind();
      add(x0 + dx * i + jitter(0.35), y0 + dy * i + jitter(0.35), kind, orchardHeight(kind));
    }
  };

  // The old tree first: its sprite is the widest.
  trees.push_back({kOldTreeX, kOldTreeY, TreeKind::kOld, 13.5, dm::kPi / 6, false});

  // West rows, seen from x = -17 looking west.
  row(-21.5, -8.5, 0, 4.3, 6);
  row(-26.5, -6.5, 0, 4.3, 6);
  // East rows, seen from x = 18 looking west; a gap at y = 0 leaves the east-west alley free,
  // and the north-east stays open where the spirals over the orchard begin, low.
  row(13.5, -8.5, 0, 4.2, 2);
  row(15.0, 12.5, 0, 4.2, 1);
  row(8.5, -10.5, 0, 4.4, 2);
  row(8.5, 6.0, 0, 4.4, 2);
  // The middle of the orchard: the tree the spirals circle, and loose rows around it.
  trees.push_back({0.3, 0.4, TreeKind::kBlossom, 6.2, 0.3 * dm::kPi, false});
  for (double x : {-12.0, -7.0, -2.5, 3.5})
    for (double y : {-9.5, -4.8, 4.8, 9.5}) {
      const TreeKind kind = orchardKind();
      add(x + jitter(0.4), y + jitter(0.4), kind, orchardHeight(kind));
    }
  // South of the chapel, seen from y = -10.5 looking north.
  row(25.0, 0.8, 4.4, 0, 4);
  row(27.2, -3.8, 4.5, 0, 3);
  // The grove south-east, seen from x = 33 looking west.
  row(23.5, -31.0, 0, 4.0, 5);
  row(18.5, -29.0, 0, 4.1, 4);
  // North of the orchard, behind the monk's knoll.
  row(-15.0, 25.5, 4.6, 0, 7);
  // West of the chapel.
  row(17.5, 27.0, 0, 5.0, 3);
  // Around the old tree, at a distance.
  row(-30.0, -30.0, 4.5, 0, 3);
  row(-32.0, -14.0, 0, 4.5, 3);

  // Scattered trees further out, for the views from above.
  Random scatter(0x5EED5);
  int placed = 0;
  for (int attempt = 0; attempt < 2000 && placed < 70; ++attempt) {
    const double angle = scatter.Range(0, dm::kTwoPi);
    const double radius = scatter.Range(46, 170);
    double s, c;
    dm::SinCos(angle, s, c);
    const double x = radius * c, y = radius * s;
    if (TerrainHeight(x, y) > 25) continue;
    bool crowded = false;
    for (const Tree& t : trees)
      if ((t.x - x) * (t.x - x) + (t.y - y) * (t.y - y) < 5.5 * 5.5) crowded = true;
    // Keep clear of the chapel.
    if (x > kTowerX - 10 && x < kTowerX + 10 && y > kNaveSouth - 8 && y < kTowerY + 8) crowded = true;
    // And of the low shot along y = 43.
    if (y > 43 - 6 && y < 43 + 6 && x > -8 && x < 46) crowded = true;
    if (crowded) continue;
    const TreeKind kind = orchardKind();
    add(x, y, kind, orchardHeight(kind) * scatter.Range(0.9, 1.2));
    ++placed;
  }
  return trees;
}

}  // namespace

const std::vector<Tree>& Trees() {
  static const std::vector<Tree> trees = MakeTrees();
  return trees;
}

}  // namespace datagen::world
