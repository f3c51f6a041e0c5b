// The gate in the clouds and the avenue that leads to it. The camera flies along x = 0 at
// height 5 from y = 506 down to y = -646, circling at a radius of 6 while it passes the gate
// at y = 0, so the opening is 17 wide and over 20 high, and the colonnade stands well to the
// sides at x = +-15.
#include "tools/datagen/assets.h"
#include "tools/datagen/canvas.h"
#include "tools/datagen/jpeg_encoder.h"
#include "tools/datagen/mesh_builder.h"
#include "tools/datagen/noise.h"

namespace datagen {
namespace {

constexpr int kTextureSize = 1024;
enum GateCell { kMarble, kGilt, kPavement, kDoorRelief };
UvRect CellRect(GateCell cell) {
  const int index = static_cast<int>(cell);
  return AtlasCell(index % 2, index / 2, 2, 2, 0.006);
}

const Vec3 kX{1, 0, 0}, kY{0, 1, 0}, kZ{0, 0, 1};

constexpr double kAvenueStart = 540, kAvenueEnd = -720;
constexpr double kOpening = 8.5;     // half the width of the gate's opening
constexpr double kSpring = 15.0;     // where the arch begins
constexpr double kPylonOuter = 15.5, kDepth = 3.5, kPylonTop = 26.0, kAttic = 28.5;

void Pillar(MeshBuilder& m, Vec3 base) {
  m.Lathe(base, {{1.35, 0.0}, {1.35, 0.6}, {1.1, 0.75}, {0.98, 0.95}, {0.88, 1.15}, {0.9, 5.0}, {0.82, 12.2}, {0.86, 12.4}},
          14, CellRect(kMarble));
  m.Lathe(base + Vec3{0, 0, 12.4}, {{0.86, 0.0}, {1.0, 0.25}, {1.3, 0.9}, {1.38, 1.2}, {1.38, 1.5}, {0.0, 1.5}}, 14,
          CellRect(kGilt));
}

// The arch: a band of gilt voussoirs on both faces, the soffit, and the wall above it.
void Arch(MeshBuilder& m) {
  const double inner = kOpening, outer = kOpening + 1.3;
  for (int face = -1; face <= 1; face += 2) {
    const double y = face * kDepth;
    // Voussoir ring.
    m.Grid(24, 2, [&](double s, double t) {
      double sa, ca;
      dm::SinCos(dm::kPi * s, sa, ca);
      const double r = inner + (outer - inner) * t;
      return Vec3{r * ca, y, kSpring + r * sa};
    }, CellRect(kGilt), face < 0);
    // The wall between the ring and the attic, in vertical strips.
    m.Grid(24, 4, [&](double s, double t) {
      const double x = -outer + 2 * outer * s;
      const double bottom = kSpring + dm::Sqrt(dm::Max(outer * outer - x * x, 0));
      return Vec3{x, y, bottom + (kPylonTop - bottom) * t};
    }, CellRect(kMarble), face > 0);
  }
  // The soffit under the arch, facing down into the opening.
  m.Grid(24, 2, [&](double s, double t) {
    double sa, ca;
    dm::SinCos(dm::kPi * s, sa, ca);
    return Vec3{inner * ca, -kDepth + 2 * kDepth * t, kSpring + inner * sa};
  }, CellRect(kGilt), false);
}

void Pylon(MeshBuilder& m, int side) {
  const double x0 = side < 0 ? -kPylonOuter : kOpening, x1 = side < 0 ? -kOpening : kPylonOuter;
  m.Box({x0, -kDepth, 0}, {x1, kDepth, kPylonTop}, CellRect(kMarble), 4.0, 3.0, 1 | 2 | 4 | 8);
  // Gilt bands, a plinth, and a stepped crown with a golden orb.
  for (double z : {kSpring - 0.5, 21.5})
    m.Box({x0 - 0.25, -kDepth - 0.25, z}, {x1 + 0.25, kDepth + 0.25, z + 0.7}, CellRect(kGilt), 2.0, 2.0);
  m.Box({x0 - 0.5, -kDepth - 0.5, 0}, {x1 + 0.5, kDepth + 0.5, 1.6}, CellRect(kMarble), 4.0, 3.0);
  const double cx = (x0 + x1) / 2;
  m.Lathe({cx, 0, kAttic}, {{4.7, 0.0}, {4.7, 0.5}, {3.4, 1.2}, {3.2, 2.2}, {1.2, 3.4}, {0.0, 6.4}}, 4,
          CellRect(kGilt), dm::kPi / 4);
  m.Lathe({cx, 0, kAttic + 6.6}, {{0.0, -0.8}, {0.6, -0.6}, {0.8, 0.0}, {0.6, 0.6}, {0.0, 0.8}}, 12, CellRect(kGilt));
  // A statue niche on the front: a gilt relief panel.
  for (int face = -1; face <= 1; face += 2) {
    const double y = face * (kDepth + 0.02);
    const Vec3 right = face > 0 ? Vec3{-1, 0, 0} : Vec3{1, 0, 0};  // the viewer's right
    const double w = (x1 - x0) * 0.62;
    const Vec3 topLeft{cx - right.x * w / 2, y, 13.0};
    m.Panel(topLeft, right * w, {0, 0, -9.0}, {0, static_cast<double>(face), 0}, CellRect(kDoorRelief), 0, 0, 1.5);
  }
}

// A door leaf of the gate, swung wide open against the far side.
void DoorLeaf(MeshBuilder& m, int side) {
  const double x = side * (kOpening - 0.25);
  const double width = kOpening - 0.5, height = kSpring + 3.5;
  m.Box({dm::Min(x, x - side * 0.35), -kDepth - width, 0.0}, {dm::Max(x, x - side * 0.35), -kDepth, height},
        CellRect(kGilt), 3.0, 2.0, 4 | 32 | (side < 0 ? 1 : 2));
  // The relief faces the avenue's middle.
  const Vec3 normal{-static_cast<double>(side), 0, 0};
  const double face = x - side * 0.37;
  m.Panel({face, -kDepth - (side < 0 ? 0 : width), height}, {0, side < 0 ? -width : width, 0}, {0, 0, -height}, normal,
          CellRect(kDoorRelief), 0, 0, 2.0);
}

xfile::Mesh GateMesh() {
  MeshBuilder m;
  m.AddMaterial("heavensgate.jpg");
  m.SetVertexColor({1, 1, 1});
  // The avenue: a marble road with gilt kerbs.
  m.Polygon({0, 0, 0}, kX, kY, kZ, {{-17, kAvenueEnd}, {17, kAvenueEnd}, {17, kAvenueStart}, {-17, kAvenueStart}},
            CellRect(kPavement), 8.0, 8.0, 8.0);
  for (int side = -1; side <= 1; side += 2)
    m.Beam({side * 17.0, kAvenueStart, 0.2}, {side * 17.0, kAvenueEnd, 0.2}, kZ, 0.8, 0.6, CellRect(kGilt), 8.0, 8.0);
  // Colonnades on both sides with a running beam on top.
  for (int side = -1; side <= 1; side += 2) {
    double previous = 0;
    bool first = true;
    for (double y = 510; y >= -690; y -= 30) {
      if (dm::Abs(y) < 12) continue;  // the gate stands there
      Pillar(m, {side * 15.0, y, 0});
      if (!first && dm::Abs(previous - y) < 31)
        m.Beam({side * 15.0, previous, 14.4}, {side * 15.0, y, 14.4}, kZ, 1.6, 1.0, CellRect(kMarble), 6.0, 6.0);
      previous = y;
      first = false;
    }
  }
  // The gate.
  Arch(m);
  for (int side = -1; side <= 1; side += 2) {
    Pylon(m, side);
    DoorLeaf(m, side);
  }
  m.Box({-kPylonOuter - 0.6, -kDepth - 0.6, kPylonTop}, {kPylonOuter + 0.6, kDepth + 0.6, kAttic}, CellRect(kMarble), 4.0, 3.0);
  m.Box({-kPylonOuter - 0.9, -kDepth - 0.9, kAttic - 0.5}, {kPylonOuter + 0.9, kDepth + 0.9, kAttic}, CellRect(kGilt), 3.0, 3.0);

  // Heavenly light does not leave a side in darkness: every normal leans towards the light.
  xfile::Mesh mesh = m.Build();
  for (auto& v : mesh.vertices) {
    const Vec3 p{v.position.x, v.position.y, v.position.z};
    const Vec3 toLight = Normalize(Vec3{50, 300, 300} - p);
    const Vec3 n = Normalize(Vec3{v.normal.x, v.normal.y, v.normal.z} + toLight * 1.1);
    v.normal = {static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z)};
  }
  return mesh;
}

Canvas GateTexture() {
  Canvas canvas(kTextureSize, kTextureSize);
  const int cell = kTextureSize / 2;
  auto tile = [&](double x, double y, int cells, std::uint64_t seed, int octaves = 1) {
    return Fbm2(x * cells / cell, y * cells / cell, seed, octaves, cells, cells);
  };
  for (int y = 0; y < cell; ++y)
    for (int x = 0; x < cell; ++x) {
      // Marble: white with soft grey and gold veins.
      const double warp = tile(x, y, 4, 701, 3);
      const double vein = dm::Abs(dm::Sin((x + y * 0.6) * dm::kTwoPi / cell * 3 + warp * 9));
      Color marble = Mix(Hex(0xF4F0E8), Hex(0xFFFDF8), tile(x, y, 8, 702, 2));
      marble = Mix(marble, Hex(0xC8B898), (1 - dm::Smoothstep(0.0, 0.06, vein)) * 0.6);
      canvas.Set(x, y, marble);
      // Gilt: filigree of interlaced circles on burnished gold.
      const double fx = dm::Fract(x / 64.0) - 0.5, fy = dm::Fract(y / 64.0) - 0.5;
      const double ring = dm::Abs(dm::Sqrt(fx * fx + fy * fy) - 0.32);
      const double ring2 = dm::Abs(dm::Sqrt((dm::Abs(fx) - 0.5) * (dm::Abs(fx) - 0.5) + (dm::Abs(fy) - 0.5) * (dm::Abs(fy) - 0.5)) - 0.32);
      Color gold = Mix(Hex(0xB8862E), Hex(0xFFE090), tile(x, y, 16, 703, 2));
      if (dm::Min(ring, ring2) < 0.035) gold = gold * 1.25;
      if (dm::Min(ring, ring2) < 0.02) gold = Mix(gold, Hex(0x8A5A1A), 0.35);
      canvas.Set(cell + x, y, gold);
      // Pavement: large marble slabs with gilt joints and a star in each corner.
      const double sx = dm::Fract(x / 256.0), sy = dm::Fract(y / 256.0);
      const double joint = dm::Min(dm::Min(sx, 1 - sx), dm::Min(sy, 1 - sy)) * 256;
      Color slab = Mix(Hex(0xEEE8DA), Hex(0xFAF6EE), tile(x, y, 8, 704, 3));
      slab = Mix(slab, Hex(0xCABA9A), (1 - dm::Smoothstep(0.0, 0.05, vein)) * 0.35);
      if (joint < 5) slab = Mix(Hex(0xE0B050), Hex(0xFFE8A0), joint / 5);
      canvas.Set(x, cell + y, slab);
      // Door relief: gilt panels, each raised with light on top and shade below, a sunburst
      // in the middle.
      const double px = dm::Fract(x / 128.0), py = dm::Fract(y / 128.0);
      Color relief = Mix(Hex(0xC8962E), Hex(0xF8D070), tile(x, y, 16, 705, 2));
      const double border = dm::Min(dm::Min(px, 1 - px), dm::Min(py, 1 - py)) * 128;
      if (border < 10) relief = relief * (py < 0.1 ? 1.2 : (py > 0.9 ? 0.7 : 0.95));
      const double cx = x - cell / 2.0, cy = y - cell / 2.0;
      const double r = dm::Sqrt(cx * cx + cy * cy);
      if (r < 110) {
        const double ray = 0.5 + 0.5 * dm::Cos(dm::Atan2(cy, cx) * 16);
        relief = Mix(relief, Hex(0xFFF0B0), (1 - r / 110) * ray * 0.8);
      }
      canvas.Set(cell + x, cell + y, relief);
    }
  return canvas;
}

}  // namespace

Files MakeGate() {
  return {{"heavensgate.x", MeshFileBytes(GateMesh())},
          {"heavensgate.jpg", EncodeJpeg(GateTexture(), {.quality = 90})}};
}

}  // namespace datagen
