// The three figures: the standing robed figure and the kneeling woman on their plinth in the
// nave, and the monk on his knoll outside. Each is sculpted from blended smooth shapes and
// meshed by surface nets; each part (robe, mantle, skin, hair ...) is a subset of its own
// with its own cell of the figure's texture, so colours meet along clean seams.
//
// The figures are modelled facing -y with the feet at the origin, then turned and moved to
// where they stand.
#include <map>

#include "tools/datagen/assets.h"
#include "tools/datagen/canvas.h"
#include "tools/datagen/jpeg_encoder.h"
#include "tools/datagen/mesh_builder.h"
#include "tools/datagen/noise.h"
#include "tools/datagen/sdf.h"
#include "tools/datagen/world.h"

namespace datagen {
namespace {

using sdf::Sample;

constexpr int kTextureSize = 1024;
constexpr int kCells = 4;  // the texture holds 4 x 4 cells, one per part
constexpr double kCell = 0.018;

// Robe folds: vertical ridges around the body, deeper towards the hem.
double Folds(Vec3 p, double count, double depth, double top) {
  const double angle = dm::Atan2(p.x, -p.y);
  const double wave = dm::Sin(angle * count + 1.7 * dm::Sin(p.z * 2.3 + angle * 2));
  return depth * wave * dm::Smoothstep(top, 0.1, p.z);
}

Vec3 RotateX(Vec3 v, double angle) {
  double s, c;
  dm::SinCos(angle, s, c);
  return {v.x, v.y * c - v.z * s, v.y * s + v.z * c};
}

// A face: nose, brows and eye hollows on a head of the given radii, in the head's frame.
Sample Head(Vec3 q, Vec3 radii, int skin) {
  Sample head{sdf::Ellipsoid(q, radii), skin};
  const double front = -radii.y;
  head = sdf::Blend(head, {sdf::Capsule(q, {0, front + 0.005, 0.02}, {0, front - 0.018, -0.035}, 0.016, 0.02), skin}, 0.015);
  head = sdf::Blend(head, {sdf::Capsule(q, {-0.045, front + 0.012, 0.035}, {0.045, front + 0.012, 0.035}, 0.015, 0.015), skin}, 0.02);
  for (int side = -1; side <= 1; side += 2)
    head = sdf::Cut(head, sdf::Sphere(q - Vec3{side * 0.038, front - 0.004, 0.012}, 0.02));
  return head;
}

// ---- the standing figure --------------------------------------------------------------

enum JesusPart { kRobe, kMantle, kSkin, kHair, kHalo, kBase };

Sample Jesus(Vec3 p) {
  // Body and robe down to the ground, folds in the lower half.
  sdf::Frustum robe{0.0, 2.3, 0.44, 0.36, 0.24, 0.15, 0, 0.02, 0, 0};
  Sample s{sdf::FrustumDistance(p, robe) - Folds(p, 11, 0.022, 1.7), kRobe};
  s = sdf::Blend(s, {sdf::Ellipsoid(p - Vec3{0, 0, 2.12}, {0.27, 0.16, 0.26}), kRobe}, 0.08);
  s = sdf::Blend(s, {sdf::Capsule(p, {-0.24, 0, 2.27}, {0.24, 0, 2.27}, 0.095, 0.095), kRobe}, 0.06);
  // The mantle over shoulders and back, open in front, and its end across the body.
  sdf::Frustum mantle{0.28, 2.36, 0.5, 0.41, 0.3, 0.2, 0, 0.03, 0, 0.01};
  const double mantleShell = dm::Max(sdf::FrustumDistance(p, mantle) - Folds(p, 7, 0.03, 2.0), -0.05 - p.y);
  s = sdf::Blend(s, {mantleShell, kMantle}, 0.02);
  s = sdf::Blend(s, {sdf::Capsule(p, {0.2, -0.13, 2.22}, {-0.3, -0.27, 1.3}, 0.075, 0.06), kMantle}, 0.05);
  // Arms in wide sleeves: the right raised in blessing, the left reaching down to rest on
  // the head of the kneeling woman beside him.
  s = sdf::Blend(s, {sdf::Capsule(p, {-0.27, 0, 2.25}, {-0.37, -0.15, 1.99}, 0.088, 0.09), kRobe}, 0.05);
  s = sdf::Blend(s, {sdf::Capsule(p, {-0.37, -0.15, 1.99}, {-0.25, -0.3, 2.24}, 0.085, 0.066), kRobe}, 0.03);
  s = sdf::Blend(s, {sdf::Capsule(p, {-0.37, -0.15, 1.99}, {-0.4, -0.19, 1.74}, 0.07, 0.1), kRobe}, 0.04);
  // The raised hand: palm, two fingers up, thumb.
  s = sdf::Blend(s, {sdf::Ellipsoid(p - Vec3{-0.235, -0.318, 2.3}, {0.03, 0.045, 0.055}), kSkin}, 0.02);
  s = sdf::Blend(s, {sdf::Capsule(p, {-0.245, -0.325, 2.33}, {-0.252, -0.33, 2.43}, 0.014, 0.012), kSkin}, 0.008);
  s = sdf::Blend(s, {sdf::Capsule(p, {-0.22, -0.325, 2.33}, {-0.222, -0.33, 2.42}, 0.014, 0.012), kSkin}, 0.008);
  s = sdf::Blend(s, {sdf::Capsule(p, {-0.215, -0.31, 2.28}, {-0.2, -0.33, 2.32}, 0.014, 0.012), kSkin}, 0.008);
  s = sdf::Blend(s, {sdf::Capsule(p, {0.27, 0, 2.25}, {0.47, 0.02, 2.05}, 0.088, 0.09), kRobe}, 0.05);
  s = sdf::Blend(s, {sdf::Capsule(p, {0.47, 0.02, 2.05}, {0.58, 0.04, 1.97}, 0.085, 0.065), kRobe}, 0.03);
  s = sdf::Blend(s, {sdf::Capsule(p, {0.47, 0.02, 2.05}, {0.45, 0.08, 1.8}, 0.07, 0.095), kRobe}, 0.04);
  s = sdf::Blend(s, {sdf::Ellipsoid(p - Vec3{0.63, 0.05, 1.93}, {0.075, 0.05, 0.03}), kSkin}, 0.02);
  // Neck, head, hair and beard.
  s = sdf::Blend(s, {sdf::Capsule(p, {0, 0.01, 2.34}, {0, 0.0, 2.52}, 0.062, 0.058), kSkin}, 0.03);
  const Vec3 headCenter{0, -0.005, 2.665};
  s = sdf::Blend(s, Head(p - headCenter, {0.1, 0.12, 0.145}, kSkin), 0.02);
  const double hair = dm::Max(sdf::Ellipsoid(p - Vec3{0, 0.03, 2.69}, {0.122, 0.13, 0.168}), -0.065 - p.y);
  s = sdf::Blend(s, {hair, kHair}, 0.015);
  s = sdf::Blend(s, {dm::Max(sdf::Capsule(p, {0, 0.06, 2.66}, {0, 0.09, 2.36}, 0.11, 0.14), -0.02 - p.y), kHair}, 0.03);
  for (int side = -1; side <= 1; side += 2)
    s = sdf::Blend(s, {sdf::Capsule(p, {side * 0.098, -0.01, 2.62}, {side * 0.13, 0.03, 2.38}, 0.04, 0.05), kHair}, 0.02);
  s = sdf::Blend(s, {sdf::Ellipsoid(p - Vec3{0, -0.085, 2.565}, {0.082, 0.058, 0.085}), kHair}, 0.02);
  // Bare feet under the hem, a low base, and the halo behind the head.
  for (int side = -1; side <= 1; side += 2)
    s = sdf::Blend(s, {sdf::Ellipsoid(p - Vec3{side * 0.11, -0.36, 0.07}, {0.06, 0.11, 0.045}), kSkin}, 0.02);
  s = sdf::Blend(s, {sdf::FrustumDistance(p, {-0.06, 0.07, 0.55, 0.5, 0.53, 0.48}), kBase}, 0.0);
  const Vec3 q{p.x, p.z - 2.72, p.y - 0.17};
  s = sdf::Blend(s, {sdf::Torus(q, 0.27, 0.03), kHalo}, 0.0);
  return s;
}

// ---- the kneeling woman ---------------------------------------------------------------

enum WomanPart { kDress, kVeil, kWomanSkin, kWomanHair };

// Modelled at 1 : 1.2 and scaled up to stand (kneel) beside the other figure.
constexpr double kWomanScale = 1.2;

Sample WomanUnscaled(Vec3 p) {
  // Kneeling: the skirt spreads back over the legs on the ground.
  sdf::Frustum skirt{0.0, 0.78, 0.31, 0.46, 0.2, 0.16, 0, 0.2, 0, 0.03};
  Sample s{sdf::FrustumDistance(p, skirt) - Folds(p, 9, 0.018, 0.7), kDress};
  s = sdf::Blend(s, {sdf::FrustumDistance(p, {0.65, 1.22, 0.19, 0.14, 0.19, 0.12, 0, 0.02, 0, 0.02}), kDress}, 0.06);
  s = sdf::Blend(s, {sdf::Ellipsoid(p - Vec3{0, -0.05, 1.06}, {0.165, 0.1, 0.1}), kDress}, 0.05);
  s = sdf::Blend(s, {sdf::Capsule(p, {-0.18, 0.02, 1.18}, {0.18, 0.02, 1.18}, 0.068, 0.068), kDress}, 0.05);
  // Arms raised, hands together in prayer before the chest.
  for (int side = -1; side <= 1; side += 2) {
    s = sdf::Blend(s, {sdf::Capsule(p, {side * 0.19, 0.02, 1.16}, {side * 0.17, -0.13, 0.95}, 0.06, 0.058), kDress}, 0.04);
    s = sdf::Blend(s, {sdf::Capsule(p, {side * 0.17, -0.13, 0.95}, {side * 0.035, -0.22, 1.1}, 0.056, 0.05), kDress}, 0.03);
  }
  s = sdf::Blend(s, {sdf::Ellipsoid(p - Vec3{0, -0.235, 1.17}, {0.04, 0.032, 0.08}), kWomanSkin}, 0.02);
  // Neck and the head, turned up towards the standing figure.
  s = sdf::Blend(s, {sdf::Capsule(p, {0, 0.0, 1.2}, {0, -0.015, 1.34}, 0.045, 0.042), kWomanSkin}, 0.03);
  const Vec3 headCenter{0, -0.025, 1.43};
  const Vec3 q = RotateX(p - headCenter, 0.35);
  s = sdf::Blend(s, Head(q, {0.08, 0.095, 0.11}, kWomanSkin), 0.015);
  s = sdf::Blend(s, {dm::Max(sdf::Ellipsoid(q - Vec3{0, 0.02, 0.03}, {0.092, 0.1, 0.12}), -0.05 - q.y), kWomanHair}, 0.01);
  // The veil over head and shoulders, falling down the back to the ground.
  const double hood = dm::Max(sdf::Ellipsoid(q - Vec3{0, 0.03, 0.035}, {0.112, 0.118, 0.14}), -0.04 - q.y);
  s = sdf::Blend(s, {hood, kVeil}, 0.015);
  sdf::Frustum drape{0.05, 1.38, 0.34, 0.5, 0.13, 0.11, 0, 0.24, 0, 0.05};
  s = sdf::Blend(s, {dm::Max(sdf::FrustumDistance(p, drape) - Folds(p, 8, 0.02, 1.2), -0.0 - p.y), kVeil}, 0.02);
  return s;
}

Sample Woman(Vec3 p) {
  const Sample s = WomanUnscaled(p / kWomanScale);
  return {s.d * kWomanScale, s.material};
}

// ---- the monk -------------------------------------------------------------------------

enum MonkPart { kHabit, kMonkSkin, kRope };

Sample Monk(Vec3 p) {
  Sample s{sdf::FrustumDistance(p, {0.0, 1.6, 0.42, 0.36, 0.25, 0.16, 0, 0.02, 0, 0}) - Folds(p, 9, 0.03, 1.4), kHabit};
  s = sdf::Blend(s, {sdf::Ellipsoid(p - Vec3{0, 0.02, 1.55}, {0.31, 0.21, 0.16}), kHabit}, 0.06);
  // The deep hood, open in front, with a face in its shadow.
  Sample hood{sdf::Ellipsoid(p - Vec3{0, 0.035, 1.86}, {0.17, 0.2, 0.23}), kHabit};
  hood = sdf::Blend(hood, {sdf::Capsule(p, {0, 0.1, 1.95}, {0, 0.21, 1.78}, 0.09, 0.05), kHabit}, 0.05);
  hood = sdf::Cut(hood, sdf::Ellipsoid(p - Vec3{0, -0.13, 1.83}, {0.105, 0.13, 0.16}));
  s = sdf::Blend(s, hood, 0.04);
  s = sdf::Blend(s, Head(p - Vec3{0, -0.035, 1.82}, {0.08, 0.095, 0.11}, kMonkSkin), 0.0);
  // Arms folded forward into wide sleeves, the hands just showing between them.
  for (int side = -1; side <= 1; side += 2) {
    s = sdf::Blend(s, {sdf::Capsule(p, {side * 0.26, 0, 1.45}, {side * 0.25, -0.1, 1.12}, 0.09, 0.095), kHabit}, 0.05);
    s = sdf::Blend(s, {sdf::Capsule(p, {side * 0.25, -0.1, 1.12}, {side * 0.07, -0.27, 1.15}, 0.09, 0.115), kHabit}, 0.04);
  }
  s = sdf::Blend(s, {sdf::Ellipsoid(p - Vec3{0, -0.33, 1.15}, {0.06, 0.04, 0.05}), kMonkSkin}, 0.01);
  // The cord round the waist and its hanging end.
  s = sdf::Blend(s, {sdf::Torus({p.x, p.y * 1.35, p.z - 1.02}, 0.32, 0.028), kRope}, 0.0);
  s = sdf::Blend(s, {sdf::Capsule(p, {0.12, -0.27, 1.0}, {0.15, -0.34, 0.42}, 0.022, 0.02), kRope}, 0.0);
  return s;
}

// ---- textures -------------------------------------------------------------------------

UvRect PartCell(int part) { return AtlasCell(part % kCells, part / kCells, kCells, kCells, 0.02); }

struct PartStyle {
  Color light, dark;
  enum Kind { kCloth, kSkinTone, kHairStreaks, kGilt, kStoneGrain } kind;
  Color hem = {};  // a band at the bottom of cloth, when not black
};

Canvas PaintFigureTexture(const std::vector<PartStyle>& parts, std::uint64_t seed) {
  Canvas canvas(kTextureSize, kTextureSize, Hex(0x808080));
  const int cell = kTextureSize / kCells;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const PartStyle& style = parts[i];
    const int x0 = static_cast<int>(i % kCells) * cell, y0 = static_cast<int>(i / kCells) * cell;
    for (int y = 0; y < cell; ++y)
      for (int x = 0; x < cell; ++x) {
        const double u = (x + 0.5) / cell, v = (y + 0.5) / cell;  // u round the body, v down
        const double grain = Fbm2(u * 24, v * 6, seed + i, 3) - 0.5;  // carved wood, painted
        Color c;
        switch (style.kind) {
          case PartStyle::kCloth: {
            const double weave = ValueNoise2(u * 160, v * 160, seed + 50 + i) - 0.5;
            c = Mix(style.dark, style.light, 0.65 + 0.3 * grain + 0.08 * weave);
            if (style.hem.r + style.hem.g + style.hem.b > 0 && v > 0.9 && v < 0.97)
              c = Mix(style.hem, style.hem * 1.25, ValueNoise2(u * 60, v * 60, seed + 70));
            break;
          }
          case PartStyle::kSkinTone:
            c = Mix(style.dark, style.light, 0.7 + 0.25 * grain);
            break;
          case PartStyle::kHairStreaks: {
            const double streak = ValueNoise2(u * 90, v * 5, seed + 80 + i);
            c = Mix(style.dark, style.light, 0.3 + 0.6 * streak);
            break;
          }
          case PartStyle::kGilt: {
            const double glint = Fbm2(u * 20, v * 20, seed + 90, 3);
            c = Mix(style.dark, style.light, dm::Smoothstep(0.3, 0.7, glint));
            break;
          }
          case PartStyle::kStoneGrain:
            c = Mix(style.dark, style.light, 0.6 + 0.5 * grain);
            break;
        }
        canvas.Set(x0 + x, y0 + y, c);
      }
  }
  return canvas;
}

// ---- meshing and placing ----------------------------------------------------------------

struct Placement {
  Vec3 position;
  double facing;  // radians: 0 faces -y, pi faces +y
};

xfile::Mesh FigureMesh(const std::function<Sample(Vec3)>& shape, Vec3 lo, Vec3 hi, int partCount,
                       const std::string& texture, Placement at) {
  const sdf::Surface surface = sdf::Mesh(shape, lo, hi, kCell);
  const double height = hi.z - lo.z;
  MeshBuilder mesh;
  for (int part = 0; part < partCount; ++part) mesh.AddMaterial(texture);
  // A vertex per (surface vertex, part), so each part keeps to its own texture cell.
  std::map<std::pair<std::uint32_t, int>, std::uint32_t> made;
  auto vertex = [&](std::uint32_t index, int part) {
    const auto key = std::make_pair(index, part);
    if (auto it = made.find(key); it != made.end()) return it->second;
    const Vec3 p = surface.positions[index];
    const double u = dm::Abs(dm::Atan2(p.x, -p.y)) / dm::kPi;  // 0 in front, 1 behind
    const double v = dm::Clamp((hi.z - p.z) / height, 0, 1);
    const UvRect cell = PartCell(part);
    mesh.UseMaterial(part);
    const std::uint32_t id = mesh.Vertex(RotateZ(p, at.facing) + at.position, RotateZ(surface.normals[index], at.facing),
                                         cell.U(u), cell.V(v));
    made.emplace(key, id);
    return id;
  };
  for (std::size_t t = 0; t + 2 < surface.triangles.size(); t += 3) {
    const std::uint32_t a = surface.triangles[t], b = surface.triangles[t + 1], c = surface.triangles[t + 2];
    // The part of a triangle: the one two of its corners agree on, else the first corner's.
    const int ma = surface.materials[a], mb = surface.materials[b], mc = surface.materials[c];
    const int part = (mb == mc) ? mb : ma;
    const std::uint32_t va = vertex(a, part), vb = vertex(b, part), vc = vertex(c, part);
    mesh.UseMaterial(part);
    mesh.Triangle(va, vb, vc);
  }
  return mesh.Build();
}

double FacingTowards(double dx, double dy) { return dm::Atan2(dx, -dy); }

}  // namespace

Files MakeFigures() {
  // The statues stand on the plinth in the middle of the nave, facing the altar (+y): he
  // stands, she kneels at his left, looking up, his hand resting on her veil.
  const Placement jesusAt{{0.1, 1.85, 1.5}, dm::kPi};
  const Placement womanAt{{-0.55, 1.72, 1.5}, FacingTowards(0.55, 0.83)};
  const Placement monkAt{{world::kMonkX, world::kMonkY, world::kMonkGround - 0.03}, dm::kPi};

  const std::vector<PartStyle> jesusStyle{
      {Hex(0xF2EADA), Hex(0xB8AC98), PartStyle::kCloth, Hex(0xC89A40)},
      {Hex(0xC23A30), Hex(0x6A1A18), PartStyle::kCloth, Hex(0xD8A848)},
      {Hex(0xF0C8A8), Hex(0xC08A6A), PartStyle::kSkinTone},
      {Hex(0x8A5A34), Hex(0x3A2414), PartStyle::kHairStreaks},
      {Hex(0xFFE080), Hex(0xB08020), PartStyle::kGilt},
      {Hex(0xC8C0B0), Hex(0x8A8478), PartStyle::kStoneGrain},
  };
  const std::vector<PartStyle> womanStyle{
      {Hex(0x4A6ACA), Hex(0x1A2A6A), PartStyle::kCloth, Hex(0xD8B050)},
      {Hex(0xF6F0E2), Hex(0xB8B0A0), PartStyle::kCloth},
      {Hex(0xF2CCB0), Hex(0xC08C70), PartStyle::kSkinTone},
      {Hex(0x6A4428), Hex(0x2A180E), PartStyle::kHairStreaks},
  };
  const std::vector<PartStyle> monkStyle{
      {Hex(0x5A3E2A), Hex(0x24160E), PartStyle::kCloth},
      {Hex(0xD8A888), Hex(0x8A5A44), PartStyle::kSkinTone},
      {Hex(0xC8B080), Hex(0x7A6440), PartStyle::kHairStreaks},
  };
  return {
      {"jesus.x", MeshFileBytes(FigureMesh(Jesus, {-0.62, -0.52, -0.08}, {0.76, 0.5, 3.04}, 6, "jesus.jpg", jesusAt))},
      {"jesus.jpg", EncodeJpeg(PaintFigureTexture(jesusStyle, 0xF161), {.quality = 90})},
      {"woman.x", MeshFileBytes(FigureMesh(Woman, Vec3{-0.46, -0.4, -0.04} * kWomanScale, Vec3{0.46, 0.78, 1.64} * kWomanScale, 4, "woman.jpg", womanAt))},
      {"woman.jpg", EncodeJpeg(PaintFigureTexture(womanStyle, 0xF162), {.quality = 90})},
      {"moench.x", MeshFileBytes(FigureMesh(Monk, {-0.5, -0.5, -0.04}, {0.5, 0.5, 2.16}, 3, "moench.jpg", monkAt))},
      {"moench.jpg", EncodeJpeg(PaintFigureTexture(monkStyle, 0xF163), {.quality = 90})},
  };
}

}  // namespace datagen
